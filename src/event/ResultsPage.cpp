#include "event/ResultsPage.h"

#include "platform/Failure.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <array>
#include <memory>

namespace halvex {

void publishResults(const QString& folder, const QJsonDocument& results)
{
    const QString shown = QDir::toNativeSeparators(folder);
    const auto failed = [&shown](const QString& reason) {
        return Failure(QStringLiteral("The results could not be published to the folder \"%1\": "
                                      "%2")
                           .arg(shown, reason));
    };
    if (!QFileInfo(folder).isDir())
        throw failed(QStringLiteral("there is no such folder."));
    const QDir dir(folder);
    const std::array<std::pair<QString, QByteArray>, 2> files = {
        {{QStringLiteral("index.html"), resultsHtml(results)},
         {QStringLiteral("results.json"), results.toJson(QJsonDocument::Indented)}}};
    // Both are written out in full before either replaces its old file, so that a full disk or
    // a folder that refuses new files leaves the page that was there. No direct-write fallback:
    // a web server may be reading the old file at any moment.
    std::array<std::unique_ptr<QSaveFile>, 2> saves;
    for (size_t i = 0; i < files.size(); ++i) {
        saves[i] = std::make_unique<QSaveFile>(dir.filePath(files[i].first));
        QSaveFile& file = *saves[i];
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(files[i].second) != files[i].second.size() || !file.flush())
            throw failed(files[i].first + QStringLiteral(": ") + file.errorString());
    }
    for (size_t i = 0; i < files.size(); ++i)
        if (!saves[i]->commit())
            throw failed(files[i].first + QStringLiteral(": ") + saves[i]->errorString());
}

} // namespace halvex
