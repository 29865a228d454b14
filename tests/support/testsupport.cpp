#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace pelix::test {

TempFolder::TempFolder()
{
    if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary folder");
}

void TempFolder::write(const QString& relative, const QByteArray& bytes) const
{
    const QString p = file(relative);
    QDir().mkpath(QFileInfo(p).path());
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw std::runtime_error("cannot write " + p.toStdString());
    f.write(bytes);
}

QByteArray TempFolder::read(const QString& relative) const
{
    QFile f(file(relative));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

bool TempFolder::exists(const QString& relative) const { return QFileInfo::exists(file(relative)); }

QString SourceDataFolder() { return QStringLiteral(PELIX_SOURCE_DIR "/data"); }

}  // namespace pelix::test
