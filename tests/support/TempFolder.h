#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "common/ProgramFolder.h"

// A scratch program folder for one test: settings and logs go there, and it is removed after.
class TempProgramFolder {
public:
    TempProgramFolder() { zr410::SetProgramFolderOverride(dir_.path()); }
    ~TempProgramFolder() { zr410::SetProgramFolderOverride(QString()); }
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;

    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

    QByteArray read(const QString& name) const {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString& name, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(file(name)).path());
        QFile f(file(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            f.write(bytes);
        }
    }

private:
    QTemporaryDir dir_;
};
