// The calendar tests run on a computer in Berlin, whatever the machine's own
// zone: the environment's TZ is set before the first test.
#pragma once

#include <QByteArray>

#include <gtest/gtest.h>

#include <ctime>

class ComputerInBerlin : public ::testing::Environment {
  public:
    void SetUp() override {
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }
};
