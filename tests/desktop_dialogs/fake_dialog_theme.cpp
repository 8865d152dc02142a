// A platform theme that offers a file dialog of its own, as GTK's, KDE's and the portal's themes
// do: it records how it was asked to show and answers as the test said, without showing anything.
#include "tests/desktop_dialogs/fake_dialog_theme.h"

#include <qpa/qplatformdialoghelper.h>
#include <qpa/qplatformtheme.h>
#include <qpa/qplatformthemeplugin.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>
#include <memory>

namespace foliomix::testing::fake_dialogs {
namespace {

QStringList LocalPaths(const QList<QUrl>& urls) {
    QStringList paths;
    for (const QUrl& url : urls) {
        paths.append(url.toLocalFile());
    }
    return paths;
}

class FakeFileDialog final : public QPlatformFileDialogHelper {
  public:
    bool show(Qt::WindowFlags /*flags*/, Qt::WindowModality modality, QWindow* parent) override {
        const QSharedPointer<QFileDialogOptions>& asked = options();
        QStringList selected = LocalPaths(asked->initiallySelectedFiles());
        for (const QString& path : LocalPaths(selected_)) {
            if (!selected.contains(path)) {
                selected.append(path);
            }
        }
        QVariantList shown = QCoreApplication::instance()->property(kShown).toList();
        shown.append(QVariantMap{
            {kAcceptMode, static_cast<int>(asked->acceptMode())},
            {kFileMode, static_cast<int>(asked->fileMode())},
            {kNameFilters, asked->nameFilters()},
            {kDirectory,
             (directory_.isEmpty() ? asked->initialDirectory() : directory_).toLocalFile()},
            {kSelected, selected},
            {kDefaultSuffix, asked->defaultSuffix()},
            {kConfirmOverwrite, !asked->testOption(QFileDialogOptions::DontConfirmOverwrite)},
            {kModal, modality != Qt::NonModal},
            {kHasParent, parent != nullptr},
        });
        QCoreApplication::instance()->setProperty(kShown, shown);
        // The user's answer comes once the dialog is up, from the event loop.
        const QStringList answer = QCoreApplication::instance()->property(kAnswer).toStringList();
        QTimer::singleShot(0, this, [this, answer] {
            if (answer.isEmpty()) {
                emit reject();
                return;
            }
            selected_.clear();
            for (const QString& path : answer) {
                selected_.append(QUrl::fromLocalFile(path));
            }
            emit accept();
        });
        return true;
    }

    void exec() override {
        // Modal: returns when the dialog is hidden, which QDialog does once it is answered.
        QEventLoop loop;
        loop_ = &loop;
        loop.exec(QEventLoop::DialogExec);
    }

    void hide() override {
        if (loop_ != nullptr) {
            loop_->exit();
        }
    }

    [[nodiscard]] bool defaultNameFilterDisables() const override { return false; }
    void setDirectory(const QUrl& directory) override { directory_ = directory; }
    [[nodiscard]] QUrl directory() const override { return directory_; }
    void selectFile(const QUrl& file) override { selected_ = {file}; }
    [[nodiscard]] QList<QUrl> selectedFiles() const override { return selected_; }
    void setFilter() override {}
    void selectNameFilter(const QString& filter) override { nameFilter_ = filter; }
    [[nodiscard]] QString selectedNameFilter() const override { return nameFilter_; }

  private:
    QUrl directory_;
    QList<QUrl> selected_;
    QString nameFilter_;
    QPointer<QEventLoop> loop_;
};

class FakeDialogTheme final : public QPlatformTheme {
  public:
    [[nodiscard]] bool usePlatformNativeDialog(DialogType type) const override {
        return type == FileDialog;
    }
    [[nodiscard]] QPlatformDialogHelper* createPlatformDialogHelper(
        DialogType type) const override {
        // The dialog that asked owns the helper.
        return type == FileDialog ? std::make_unique<FakeFileDialog>().release() : nullptr;
    }
};

}  // namespace

class FakeDialogThemePlugin final : public QPlatformThemePlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QPlatformThemeFactoryInterface_iid FILE "fake_dialog_theme.json")

  public:
    QPlatformTheme* create(const QString& key, const QStringList& /*parameters*/) override {
        if (key.compare(QLatin1String("foliomixfakedialogs"), Qt::CaseInsensitive) != 0) {
            return nullptr;
        }
        if (QCoreApplication* app = QCoreApplication::instance()) {
            app->setProperty(kThemeLoaded, true);
        }
        // The application owns the theme.
        return std::make_unique<FakeDialogTheme>().release();
    }
};

}  // namespace foliomix::testing::fake_dialogs

#include "fake_dialog_theme.moc"
