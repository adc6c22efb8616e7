#!/bin/sh
# Writes down what was said in each recording: copies it into a folder and puts a
# .txt beside the copy with the text a speech recognizer gives.
#
# In KestrovaNachAufnahme.ini, for example:
#   nach_aufnahme=SPRACHE_PROGRAMM=/usr/local/bin/erkenne SPRACHE_ZIEL=/srv/funk sh /usr/share/doc/kestrova/examples/sprache-zu-text.sh
#
# SPRACHE_PROGRAMM  a program that gets the sound file as its last argument and
#                   writes the text to standard output (a short script around
#                   whisper.cpp or vosk, say); it may carry options of its own.
# SPRACHE_ZIEL      the folder of the copies and texts ("abschriften" in the program
#                   folder when not given); below it the path the web page shows.
#
# Kestrova hands over the recording in KESTROVA_DATEI, KESTROVA_PFAD and
# KESTROVA_SHA256. When the script does not end with 0, Kestrova tries again later.
set -eu

programm=${SPRACHE_PROGRAMM:?"SPRACHE_PROGRAMM nennt keinen Spracherkenner"}
ziel=${SPRACHE_ZIEL:-abschriften}
kopie="$ziel/$KESTROVA_PFAD"
text="${kopie%.wav}.txt"

mkdir -p "$(dirname "$kopie")"
cp "$KESTROVA_DATEI" "$kopie.teil"
# Only an intact copy gets its text.
if [ -n "${KESTROVA_SHA256:-}" ]; then
    echo "$KESTROVA_SHA256  $kopie.teil" | sha256sum --check --quiet -
fi
mv "$kopie.teil" "$kopie"

# Unquoted: SPRACHE_PROGRAMM may carry options.
# shellcheck disable=SC2086
$programm "$kopie" >"$text.teil"
mv "$text.teil" "$text"
