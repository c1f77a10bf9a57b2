// The Qt Core and standard headers that most of the core libraries' files include, compiled once
// and shared by every core library (see NIMBREL_PCH in the top CMakeLists.txt). Only outside
// headers of Qt Core belong here: the core links nothing else.
#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <vector>
