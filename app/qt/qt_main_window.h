// The Linux edition's main window, Form1, on Qt 6 Widgets: built from the window's design data,
// scaled from twips to the screen's logical density, with the merge list and the merge run
// wired to its buttons.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QWidget>
#include <cstdint>
#include <string>

#include "app/main_window.h"
#include "merge/merge_run.h"
#include "merge/presentation_server.h"
#include "mergelist/merge_list.h"

namespace foliomix::qt {

class QtMainWindow final : public QWidget, public MainWindow {
    Q_OBJECT

  public:
    explicit QtMainWindow(PresentationServer& server);
    ~QtMainWindow() override;
    QtMainWindow(const QtMainWindow&) = delete;
    QtMainWindow& operator=(const QtMainWindow&) = delete;

    void AddItem(std::u16string_view text) override;
    [[nodiscard]] std::int16_t ListCount() const override;
    [[nodiscard]] std::int16_t ListIndex() const override;
    [[nodiscard]] std::u16string List(std::int16_t index) const override;
    void SetList(std::int16_t index, std::u16string_view text) override;
    void SetEnabled(design::ControlId button, bool enabled) override;
    void SetSimpleText(std::u16string_view text) override;
    void SetOpenFlags(std::uint32_t flags) override;
    DialogOutcome ShowOpen() override;
    [[nodiscard]] std::u16string OpenFileName() const override;
    DialogOutcome ShowSave() override;
    [[nodiscard]] std::u16string SaveFileName() const override;
    void ShowMessage(std::u16string_view text, std::u16string_view title) override;
    void Beep() override;
    void ProcessPendingEvents() override;
    [[nodiscard]] bool IsOpen() const override;

  signals:
    // A merge run started by cmdMerge has ended so.
    void MergeRunEnded(foliomix::JobOutcome outcome);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    [[nodiscard]] QWidget& Widget(design::ControlId id);
    [[nodiscard]] QPushButton& Button(design::ControlId id);
    [[nodiscard]] QPushButton& DefaultButton();
    void BuildFromDesign();
    void FollowFocus(QWidget* focused);
    // Runs a click handler; nothing it throws may pass through Qt's event loop.
    template <typename Handler>
    void Handle(Handler&& handler) noexcept;

    // The controls, each a member so that the window owns it; every child is declared after
    // its parent and so destroyed before it.
    QGroupBox frame_{this};
    QListWidget list_{&frame_};
    QPushButton cmdAdd_{&frame_};
    QPushButton cmdUp_{&frame_};
    QPushButton cmdDown_{&frame_};
    QPushButton cmdMerge_{this};
    QStatusBar sb_{this};
    QLabel simpleText_{&sb_};

    bool open_ = true;
    std::uint32_t openFlags_;
    std::u16string openFileName_;
    std::u16string saveFileName_;

    MergeList mergeList_;
    MergeRun mergeRun_;
};

}  // namespace foliomix::qt

// Carried by MergeRunEnded in a QVariant (queued connections, QSignalSpy).
Q_DECLARE_METATYPE(foliomix::JobOutcome)
