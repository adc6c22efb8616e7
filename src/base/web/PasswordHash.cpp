#include "base/web/PasswordHash.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

namespace kestrova {

namespace {

constexpr int kSaltBytes = 16;
constexpr int kKeyBytes = 32;
const QString kScheme = QStringLiteral("pbkdf2-sha256");

QByteArray derive(const QString& password, const QByteArray& salt, int rounds) {
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, rounds,
                                              kKeyBytes);
}

// Compares in a time that does not tell how many leading bytes agree.
bool sameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size()) {
        return false;
    }
    char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        difference = static_cast<char>(difference | (a.at(i) ^ b.at(i)));
    }
    return difference == 0;
}

} // namespace

QString hashPassword(const QString& password, int rounds) {
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), kSaltBytes / 4);
    return kScheme + QLatin1Char('$') + QString::number(rounds) + QLatin1Char('$') +
           QString::fromLatin1(salt.toHex()) + QLatin1Char('$') +
           QString::fromLatin1(derive(password, salt, rounds).toHex());
}

bool passwordMatches(const QString& password, const QString& stored) {
    const QStringList parts = stored.trimmed().split(QLatin1Char('$'));
    if (parts.size() != 4 || parts.at(0) != kScheme) {
        return false;
    }
    bool numeric = false;
    const int rounds = parts.at(1).toInt(&numeric);
    const QByteArray salt = QByteArray::fromHex(parts.at(2).toLatin1());
    const QByteArray key = QByteArray::fromHex(parts.at(3).toLatin1());
    if (!numeric || rounds < kLeastPasswordRounds || salt.size() < kSaltBytes || key.size() != kKeyBytes) {
        return false;
    }
    return sameBytes(derive(password, salt, rounds), key);
}

} // namespace kestrova
