// The Qt headers nearly every file of the project reads, compiled once per
// build tree (cmake/CompileTime.cmake). QtTest stays out: its headers test
// macros that differ from one test program to the next.
#include <QtCore>
#include <QtGui>
#include <QtWidgets>
