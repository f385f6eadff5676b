// What every widget test starts from: the core at its start values, an empty clipboard,
// and a fresh main window shown and active.
#pragma once

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include <memory>

#include "calculator/calculator.h"
#include "ui/qt/main_window.h"

class WindowFixture : public testing::Test {
 protected:
  void SetUp() override {
    ResetCalculator();
    QGuiApplication::clipboard()->clear();
    window = std::make_unique<MainWindow>();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  std::unique_ptr<MainWindow> window;
};
