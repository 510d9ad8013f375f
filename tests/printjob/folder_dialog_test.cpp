// The folder browser on screen: Qt's own dialog, folders only, with the typed-path box.
#include "platform/folder_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace quillora::platform {
namespace {

namespace fs = std::filesystem;

TEST(FolderDialogTest, ListsFoldersOnlyAndTakesATypedPath)
{
    int argc = 1;
    char name[] = "folder_dialog_test";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);

    std::string pattern = (fs::temp_directory_path() / "quillora-dialog-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path root = pattern;
    fs::create_directories(root / "album");

    bool sawDialog = false;
    QString title;
    bool foldersOnly = false;
    bool ownDialog = false;
    bool hasPathBox = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        sawDialog = true;
        title = dialog->windowTitle();
        foldersOnly = dialog->fileMode() == QFileDialog::Directory && dialog->testOption(QFileDialog::ShowDirsOnly);
        ownDialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
        QLineEdit* pathBox = dialog->findChild<QLineEdit*>("fileNameEdit");
        hasPathBox = pathBox != nullptr;
        // The path typed into the box, as a user who knows where the album goes does.
        if (pathBox)
            pathBox->setText(QString::fromStdString((root / "album").string()));
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    const auto chosen = askFolderOnScreen("请选择要保存的文件夹，文件名电脑自动起：", root.string());
    ASSERT_TRUE(sawDialog);
    EXPECT_EQ(title.toStdString(), "请选择要保存的文件夹，文件名电脑自动起：");
    EXPECT_TRUE(foldersOnly);
    EXPECT_TRUE(ownDialog);
    EXPECT_TRUE(hasPathBox);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, (root / "album").string());

    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            qobject_cast<QDialog*>(dialog)->reject();
    });
    EXPECT_FALSE(askFolderOnScreen("x", root.string()));
    fs::remove_all(root);
}

}  // namespace
}  // namespace quillora::platform
