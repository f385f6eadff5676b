// Build tool: a PNG of the icon as the raw premultiplied ARGB32 pixels the window icon is
// made from, so that the program decodes no PNG at all.
//   vorlane-icon-pixels IN.png OUT
#include <QFile>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vorlane-icon-pixels IN.png OUT\n");
    return 2;
  }
  const QImage image =
      QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QFile out(QString::fromLocal8Bit(argv[2]));
  if (image.isNull() || !out.open(QIODevice::WriteOnly)) {
    std::fprintf(stderr, "vorlane-icon-pixels: cannot read %s or write %s\n", argv[1], argv[2]);
    return 1;
  }
  // Rows of 32-bit pixels have no padding.
  const auto size = static_cast<qint64>(image.sizeInBytes());
  return out.write(reinterpret_cast<const char*>(image.constBits()), size) == size ? 0 : 1;
}
