#pragma once

#include <QFile>

class QIODevice;

// A thin wrapper around one file, so that the MAC reader can be handed files that fail to open
// or claim any size.
class FileWrapper
{
public:
    FileWrapper() = default;
    virtual ~FileWrapper();
    FileWrapper(const FileWrapper&) = delete;
    FileWrapper& operator=(const FileWrapper&) = delete;

    virtual void setFileName(const QString& name);
    virtual bool open(QIODevice::OpenMode mode);
    virtual qint64 size() const;
    virtual QIODevice* device();

private:
    QFile m_file;
};
