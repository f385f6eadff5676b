#include "calculator/keypad.h"

// Row-major over the 6 x 8 grid; the id is also the command the key sends.
const std::vector<ButtonDef> g_buttons = {
    {kKeySecond, 0, 0, L"2nd", L"", kStandardKey, L"第二功能", L""},
    {kKeyOpenParen, 0, 1, L"(", L"", kStandardKey, L"左括号", L""},
    {kKeyCloseParen, 0, 2, L")", L"", kStandardKey, L"右括号", L""},
    {kKeyTenPower, 0, 3, L"10^x", L"e^x", kStandardKey, L"10的x次方", L"e的x次方"},
    {kKeyMemoryClear, 0, 4, L"mc", L"", kMemoryKey, L"存储清除", L""},
    {kKeyMemoryAdd, 0, 5, L"m+", L"", kMemoryKey, L"存储加", L""},
    {kKeyMemorySubtract, 0, 6, L"m-", L"", kMemoryKey, L"存储减", L""},
    {kKeyMemoryRecall, 0, 7, L"mr", L"", kMemoryKey, L"存储读取", L""},

    {kKeyReciprocal, 1, 0, L"1/x", L"", kStandardKey, L"倒数", L""},
    {kKeySquare, 1, 1, L"x²", L"√", kStandardKey, L"平方", L"平方根"},
    {kKeyCube, 1, 2, L"x³", L"∛", kStandardKey, L"立方", L"立方根"},
    {kKeyPower, 1, 3, L"y^x", L"ʸ√x", kStandardKey, L"乘方", L"开y次方根"},
    {kKeyAllClear, 1, 4, L"AC", L"", kStandardKey, L"全部清除", L""},
    {kKeyErase, 1, 5, L"⌫", L"", kStandardKey, L"退格", L""},
    {kKeySign, 1, 6, L"±", L"", kStandardKey, L"正负号", L""},
    {kKeyDivide, 1, 7, L"÷", L"", kOperatorKey, L"除", L""},

    {kKeyFactorial, 2, 0, L"x!", L"", kStandardKey, L"阶乘", L""},
    {kKeySqrt, 2, 1, L"√", L"x²", kStandardKey, L"平方根", L"平方"},
    {kKeyRoot, 2, 2, L"ʸ√x", L"", kStandardKey, L"开y次方根", L""},
    {kKeyLg, 2, 3, L"lg", L"10^x", kStandardKey, L"常用对数", L"10的x次方"},
    {kKey7, 2, 4, L"7", L"", kStandardKey, L"数字7", L""},
    {kKey8, 2, 5, L"8", L"", kStandardKey, L"数字8", L""},
    {kKey9, 2, 6, L"9", L"", kStandardKey, L"数字9", L""},
    {kKeyTimes, 2, 7, L"×", L"", kOperatorKey, L"乘", L""},

    {kKeySin, 3, 0, L"sin", L"asin", kStandardKey, L"正弦", L"反正弦"},
    {kKeyCos, 3, 1, L"cos", L"acos", kStandardKey, L"余弦", L"反余弦"},
    {kKeyTan, 3, 2, L"tan", L"atan", kStandardKey, L"正切", L"反正切"},
    {kKeyLn, 3, 3, L"ln", L"e^x", kStandardKey, L"自然对数", L"e的x次方"},
    {kKey4, 3, 4, L"4", L"", kStandardKey, L"数字4", L""},
    {kKey5, 3, 5, L"5", L"", kStandardKey, L"数字5", L""},
    {kKey6, 3, 6, L"6", L"", kStandardKey, L"数字6", L""},
    {kKeyMinus, 3, 7, L"-", L"", kOperatorKey, L"减", L""},

    {kKeySinh, 4, 0, L"sinh", L"asinh", kStandardKey, L"双曲正弦", L"反双曲正弦"},
    {kKeyCosh, 4, 1, L"cosh", L"acosh", kStandardKey, L"双曲余弦", L"反双曲余弦"},
    {kKeyTanh, 4, 2, L"tanh", L"atanh", kStandardKey, L"双曲正切", L"反双曲正切"},
    {kKeyExp, 4, 3, L"e^x", L"", kStandardKey, L"e的x次方", L""},
    {kKey1, 4, 4, L"1", L"", kStandardKey, L"数字1", L""},
    {kKey2, 4, 5, L"2", L"", kStandardKey, L"数字2", L""},
    {kKey3, 4, 6, L"3", L"", kStandardKey, L"数字3", L""},
    {kKeyPlus, 4, 7, L"+", L"", kOperatorKey, L"加", L""},

    // The angle-mode key shows its first label in radian mode, its second in degree mode.
    {kKeyAngleMode, 5, 0, L"Rad", L"Deg", kStandardKey, L"弧度模式", L"角度模式"},
    {kKeyPi, 5, 1, L"π", L"", kStandardKey, L"圆周率", L""},
    {kKeyExponent, 5, 2, L"EE", L"", kStandardKey, L"科学记数法", L""},
    {kKeyRandom, 5, 3, L"Rand", L"", kStandardKey, L"随机数", L""},
    {kKeyRemainder, 5, 4, L"%", L"", kStandardKey, L"取余", L""},
    {kKey0, 5, 5, L"0", L"", kStandardKey, L"数字0", L""},
    {kKeyPoint, 5, 6, L".", L"", kStandardKey, L"小数点", L""},
    {kKeyEquals, 5, 7, L"=", L"", kEqualsKey, L"等于", L""},
};

const ButtonDef* FindButton(int id) {
  for (const ButtonDef& key : g_buttons) {
    if (key.id == id) return &key;
  }
  return nullptr;
}
