#pragma once
#include <QByteArray>
namespace kestrova {
bool isLoopbackHost(const QByteArray& hostHeader);
}
