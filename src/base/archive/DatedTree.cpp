#include "base/archive/DatedTree.h"

#include <QDir>
#include <algorithm>

namespace kestrova {

namespace {

QString treePrefix() {
    return QStringLiteral("Fk_");
}

// The archive holds what the program filed there: a link planted in it is not followed.
QStringList subfolders(const QString& folder, const QString& prefix) {
    return QDir(folder).entryList({prefix + QLatin1Char('*')},
                                  QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
}

// Year, month and day as their folders spell them, then the tree.
QString newestFirstKey(const DatedDay& day) {
    return day.year.mid(3) + day.month.mid(3) + day.day.mid(3) + day.tree;
}

} // namespace

QString datedArchiveFolder(const QString& docFolder, const QString& name) {
    return QDir(docFolder).filePath(treePrefix() + name.mid(0, 1) + QStringLiteral("/Ja_") + name.mid(8, 4) +
                                    QStringLiteral("/Mo-") + name.mid(2, 2) + QStringLiteral("/Tg-") +
                                    name.mid(5, 2) + QStringLiteral("/hh-") + name.mid(13, 2));
}

bool isDatedTreeName(const QString& name) {
    return name.size() > treePrefix().size() && name.startsWith(treePrefix());
}

QString datedTreePattern() {
    return treePrefix() + QLatin1Char('*');
}

QString DatedDay::circuit() const {
    return tree.mid(treePrefix().size());
}

QString DatedDay::date() const {
    return day.mid(3) + QLatin1Char('.') + month.mid(3) + QLatin1Char('.') + year.mid(3);
}

QString DatedDay::relativePath() const {
    return QStringList{tree, year, month, day}.join(QLatin1Char('/'));
}

QList<DatedDay> datedDays(const QString& docFolder) {
    QList<DatedDay> days;
    const QDir doc(docFolder);
    for (const QString& tree : subfolders(docFolder, treePrefix())) {
        const QString treeFolder = doc.filePath(tree);
        for (const QString& year : subfolders(treeFolder, QStringLiteral("Ja_"))) {
            const QString yearFolder = QDir(treeFolder).filePath(year);
            for (const QString& month : subfolders(yearFolder, QStringLiteral("Mo-"))) {
                for (const QString& day :
                     subfolders(QDir(yearFolder).filePath(month), QStringLiteral("Tg-"))) {
                    days.append({tree, year, month, day});
                }
            }
        }
    }
    std::sort(days.begin(), days.end(),
              [](const DatedDay& a, const DatedDay& b) { return newestFirstKey(a) > newestFirstKey(b); });
    return days;
}

QStringList recordingsOfDay(const QString& dayFolder) {
    QStringList recordings;
    for (const QString& hour : subfolders(dayFolder, QStringLiteral("hh-"))) {
        const QStringList names =
            QDir(QDir(dayFolder).filePath(hour))
                .entryList({QStringLiteral("*.wav")}, QDir::Files | QDir::NoSymLinks, QDir::Name);
        for (const QString& name : names) {
            recordings << hour + QLatin1Char('/') + name;
        }
    }
    return recordings;
}

} // namespace kestrova
