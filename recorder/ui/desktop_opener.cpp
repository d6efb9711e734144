#include "recorded_row_menu.h"

#include "recorder/forms/desktop_applications.h"
#include "recorder/ports/log.h"
#include "recorder/ports/translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include <optional>

namespace kelbo::ui {

namespace {

// "MPEG video files", "folders": what the user is told has no application.
QString kindOf(const QMimeType& type) {
    if (type.name() == "inode/directory") return QCoreApplication::translate("kelbo::ui::DesktopOpener", "folders");
    const QString comment = type.comment().isEmpty() ? type.name() : type.comment();
    return QCoreApplication::translate("kelbo::ui::DesktopOpener", "%1 files").arg(comment);
}

// A player that takes one file at a time gets the parts as a playlist, in
// the user's own runtime (or cache) folder.
std::optional<std::string> writePlaylist(const std::vector<std::string>& files) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder + "/kelbo")) return std::nullopt;
    const QString name = QFileInfo(QString::fromStdString(files.front())).completeBaseName();
    QFile playlist(folder + "/kelbo/" + name + ".m3u");
    if (!playlist.open(QIODevice::WriteOnly | QIODevice::Truncate)) return std::nullopt;
    playlist.write(QByteArray::fromStdString(m3uPlaylist(files)));
    return playlist.fileName().toStdString();
}

}  // namespace

FileOpener desktopFileOpener() {
    return [](const std::vector<std::string>& paths) -> std::string {
        if (paths.empty()) return {};
        const QString first = QString::fromStdString(paths.front());
        const QMimeType type = QMimeDatabase().mimeTypeForFile(first);
        const XdgFolders folders = XdgFolders::fromEnvironment();
        auto app = defaultApplicationFor(type.name().toStdString(), folders);
        for (const QString& alias : type.aliases())
            if (!app) app = defaultApplicationFor(alias.toStdString(), folders);
        if (!app)
            return QCoreApplication::translate("kelbo::ui::DesktopOpener", "No application is set to open %1.\n%2")
                .arg(kindOf(type), first)
                .toStdString();
        std::vector<std::string> files = paths;
        if (files.size() > 1 && !takesManyFiles(*app)) {
            if (auto playlist = writePlaylist(files)) files = {*playlist};
        }
        const auto commands = launchCommands(*app, files);
        if (commands.empty())
            return fillIn(translate("kelbo::ui::DesktopOpener",
                                    "%1 (%2) cannot be started: its command line cannot be read."),
                          {app->name, app->id});
        for (const auto& command : commands) {
            QStringList args;
            for (size_t i = 1; i < command.size(); ++i) args << QString::fromStdString(command[i]);
            if (!QProcess::startDetached(QString::fromStdString(command.front()), args))
                return fillIn(translate("kelbo::ui::DesktopOpener", "%1 cannot be started: %2 was not found."),
                              {app->name, command.front()});
            log::info(log::Area::Desktop, "Opened " + paths.front() + (paths.size() > 1 ? " and the parts after it" : "") + " with " +
                      app->id);
        }
        return {};
    };
}

}  // namespace kelbo::ui
