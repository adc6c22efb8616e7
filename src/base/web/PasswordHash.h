#pragma once

#include <QByteArray>
#include <QString>

namespace kestrova {

// A password kept only as a slow key derivation (PBKDF2 with SHA-256 and a salt
// of its own), written as "pbkdf2-sha256$ROUNDS$SALT$KEY" with salt and key in hex.
inline constexpr int kPasswordRounds = 200000;
inline constexpr int kLeastPasswordRounds = 100000;

QString hashPassword(const QString& password, int rounds = kPasswordRounds);
// False also for a stored text of another form or with fewer than the least rounds.
bool passwordMatches(const QString& password, const QString& stored);

} // namespace kestrova
