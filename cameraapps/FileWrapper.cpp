#include "FileWrapper.h"

FileWrapper::~FileWrapper() = default;

void FileWrapper::setFileName(const QString& name)
{
    m_file.setFileName(name);
}

bool FileWrapper::open(QIODevice::OpenMode mode)
{
    return m_file.open(mode);
}

qint64 FileWrapper::size() const
{
    return m_file.size();
}

QIODevice* FileWrapper::device()
{
    return &m_file;
}
