// Small helpers shared by the tests: a temporary folder to build fixtures in.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace pelix::test {

class TempFolder {
public:
    TempFolder();
    QString path() const { return dir_.path(); }
    // Path of `relative` inside the folder ("/" separators).
    QString file(const QString& relative) const { return dir_.path() + u'/' + relative; }
    // Writes a file, creating its folders.
    void write(const QString& relative, const QByteArray& bytes) const;
    QByteArray read(const QString& relative) const;
    bool exists(const QString& relative) const;

private:
    QTemporaryDir dir_;
};

// The folder of the shipped data in the source tree.
QString SourceDataFolder();

}  // namespace pelix::test
