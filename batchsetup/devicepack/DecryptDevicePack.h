#pragma once

#include <QString>

// Decrypts a device-pack file (OpenSSL's salted format: "Salted__", an 8-byte salt, AES-256-CBC
// ciphertext; key and IV from the program's pass phrase with EVP_BytesToKey and MD5) into a plain
// archive file at targetPath. Fails on a short, truncated or corrupt file (bad padding), leaving
// targetPath untouched in that case.
bool DecryptDevicePack(const QString& sourcePath, const QString& targetPath);
