#include "ui/FileFilter.h"

#include "imaging/PictureFormats.h"

#include <QStringList>

namespace veskaro {

namespace {

QString qtPatterns(const QString& patterns) {
    QStringList list = patterns.split(u';', Qt::SkipEmptyParts);
    for (QString& pattern : list)
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    return list.join(u' ');
}

QString qtFilterEntry(const QString& name, const QString& patterns) {
    const QString ownList = u'(' + patterns + u')';
    const QString qtList = u'(' + qtPatterns(patterns) + u')';
    if (name.endsWith(ownList))
        return name.chopped(ownList.size()) + qtList;
    return name + u' ' + qtList;
}

} // namespace

QString pictureFileFilter() {
    QStringList all;
    QStringList formats;
    for (const PictureFormatInfo& info : pictureFormats()) {
        QStringList patterns;
        for (const char* extension : info.extensions)
            if (extension)
                patterns << QStringLiteral("*.") + QLatin1String(extension);
        const QString list = patterns.join(u';');
        all << patterns;
        formats << QLatin1String(info.dialogCaption) + u'(' + list + u')' + u'|' + list;
    }
    const QString allList = all.join(u';');
    return qtFileFilter(QStringLiteral("All Image Files(") + allList + QStringLiteral(")|") + allList + u'|' +
                        formats.join(u'|'));
}

QStringList pictureExtensions() {
    QStringList extensions;
    for (const std::string& extension : readableExtensions())
        extensions << QString::fromStdString(extension);
    return extensions;
}

QString qtFileFilter(const QString& pairs) {
    const QStringList parts = pairs.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries << qtFilterEntry(parts[i], parts[i + 1]);
    return entries.join(QStringLiteral(";;"));
}

} // namespace veskaro
