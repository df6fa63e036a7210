#include "DecryptDevicePack.h"

#include <QFile>

#include <openssl/evp.h>

#include <memory>
#include <vector>

namespace {

const char kPassPhrase[] = "Qm3tRw8LpZx2Vn6Kd0Hsa";
constexpr int kPassPhraseLength = 21;
static_assert(sizeof(kPassPhrase) == kPassPhraseLength + 1, "pass phrase length");
constexpr qint64 kHeaderSize = 16; // "Salted__" + 8 bytes of salt

struct CipherContextFree
{
    void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};

} // namespace

bool DecryptDevicePack(const QString& sourcePath, const QString& targetPath)
{
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = source.size();
    if (size < kHeaderSize)
        return false;
    // The first eight bytes are the format's magic; they are not checked.
    if (!source.seek(8))
        return false;
    const QByteArray salt = source.read(8);
    const QByteArray cipherText = source.read(size - kHeaderSize);
    if (salt.size() != 8 || cipherText.size() != size - kHeaderSize)
        return false;

    std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> ctx(EVP_CIPHER_CTX_new());
    if (!ctx)
        return false;
    unsigned char key[32];
    unsigned char iv[16];
    if (EVP_BytesToKey(EVP_aes_256_cbc(), EVP_md5(),
                       reinterpret_cast<const unsigned char*>(salt.constData()),
                       reinterpret_cast<const unsigned char*>(kPassPhrase), kPassPhraseLength, 1,
                       key, iv) != 32)
        return false;
    EVP_CIPHER_CTX_reset(ctx.get());
    if (EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr, key, iv) != 1)
        return false;

    std::vector<unsigned char> plain(static_cast<size_t>(cipherText.size()) + 16);
    int updateLength = 0;
    if (EVP_DecryptUpdate(ctx.get(), plain.data(), &updateLength,
                          reinterpret_cast<const unsigned char*>(cipherText.constData()),
                          static_cast<int>(cipherText.size())) != 1)
        return false;
    // A truncated or damaged file shows here as a bad final block; what came before it is not a
    // complete archive, so nothing is written.
    int finalLength = 0;
    if (EVP_DecryptFinal_ex(ctx.get(), plain.data() + updateLength, &finalLength) != 1)
        return false;
    const int total = updateLength + finalLength;
    if (total <= 0)
        return false;

    QFile target(targetPath);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const qint64 written = target.write(reinterpret_cast<const char*>(plain.data()), total);
    target.close();
    return written == total && target.error() == QFileDevice::NoError;
}
