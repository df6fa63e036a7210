#pragma once

#include <QString>
#include <functional>
#include <memory>

class FileWrapper;

// Reads the MAC address a licence file is meant for: a "MAC" element of twelve hex digits inside
// the file, or else twelve hex digits as the file's name before its first ".".
class ZapkLicensePageCtrlLogic
{
public:
    static constexpr int kSeparatorGroupLength = 2;
    static constexpr qint64 kMaxXmlBytes = 10000000;

    ZapkLicensePageCtrlLogic();
    // Files are opened through what factory makes.
    explicit ZapkLicensePageCtrlLogic(std::function<std::shared_ptr<FileWrapper>()> factory);

    // "0A-1B-2C-3D-4E-5F" for the file at path, or empty when it names no MAC.
    QString macOf(const QString& path) const;
    // Twelve hex digits with "-" after every two, letter case kept; empty for any other text.
    static QString formatMac(const QString& digits);

private:
    QString macFromXml(const QString& path) const;
    QString macFromName(const QString& path) const;

    std::function<std::shared_ptr<FileWrapper>()> m_factory;
};
