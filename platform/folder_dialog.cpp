#include "platform/folder_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace quillora::platform {

std::optional<std::string> askFolderOnScreen(const std::string& title, const std::string& startFolder)
{
    // Qt's own dialog rather than the desktop's: it always has the path edit box, and it lists
    // folders only when asked to.
    QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(title),
                       QString::fromStdString(startFolder.empty() ? QDir::homePath().toStdString() : startFolder));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::cleanPath(QFileInfo(chosen.front()).absoluteFilePath()).toStdString();
}

}  // namespace quillora::platform
