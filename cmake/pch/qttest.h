// The headers every test file includes, compiled once and shared by all the tests (see NIMBREL_PCH
// in the top CMakeLists.txt). Only outside headers belong here.
#include "qtwidgets.h"
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
