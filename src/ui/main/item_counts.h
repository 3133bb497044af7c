#pragma once

#include <QString>

// A status-bar count in the pattern "#,###": digits grouped with the locale's separator,
// nothing at all for zero.
QString Format_Count(int n);
