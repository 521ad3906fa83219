// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The table of roads as the rows of a QtTest data function, and the walk of
// one row through a driver made afresh for it.

#include "Roads.h"

#include <QTest>

inline void addRoadRows() {
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < roads::desktopRoads().size(); ++i)
        QTest::newRow(roads::desktopRoads()[i].name.c_str()) << int(i);
}

template <typename Driver> void walkRoadRow() {
    QFETCH(int, index);
    Driver driver;
    const std::optional<std::string> failed =
        roads::walk(driver, roads::desktopRoads()[std::size_t(index)]);
    QVERIFY2(!failed, failed ? failed->c_str() : "");
}
