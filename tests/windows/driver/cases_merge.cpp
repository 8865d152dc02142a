// Merge runs against the stand-in engine (and against no engine at all): what the engine was
// told in which order, what it saved, what the window showed, and how the run ends when the
// engine fails, when it holds a user's work, or when the window is closed during the run.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/windows/driver/app_session.h"
#include "tests/windows/driver/check.h"
#include "tests/windows/driver/driver_case.h"
#include "tests/windows/driver/standin_log.h"
#include "tests/windows/driver/steps.h"
#include "tests/windows/driver/workspace.h"

namespace foliomix::driver {
namespace {

using design::ControlId;

// Three presentations with different slide counts, so that every insertion index differs.
struct ThreeDecks {
    explicit ThreeDecks(const Workspace& work) : folder(work.Folder(L"演示文稿 素材")) {
        work.WriteDeck(folder, L"甲.ppt", {L"甲一", L"甲二"});
        work.WriteDeck(folder, L"乙.ppt", {L"乙一"});
        work.WriteDeck(folder, L"丙.ppt", {L"丙一", L"丙二", L"丙三"});
    }
    std::wstring folder;
    std::vector<std::wstring> names{L"甲.ppt", L"乙.ppt", L"丙.ppt"};
    [[nodiscard]] std::wstring Path(const wchar_t* name) const { return folder + L"\\" + name; }
};

Environment StandinEnvironment(const Workspace& work, Environment more = {}) {
    more.emplace_back(L"FOLIOMIX_STANDIN_LOG", work.LogPath());
    return more;
}

// Clicks 开始合并 and confirms `savePath` in the save dialog.
void StartMerge(const AppSession& app, const std::wstring& savePath) {
    const FileDialogDriver save = OpenMergeDialog(app);
    save.Choose({savePath});
    WaitFor("the save dialog to close", [&] { return !save.Open(); });
}

void ExpectAllButtonsGreyed(const AppSession& app) {
    for (const ControlId button :
         {ControlId::cmdAdd, ControlId::cmdUp, ControlId::cmdDown, ControlId::cmdMerge}) {
        CHECK(!app.Enabled(button));
    }
}

// The insertions the engine received, as `"path",index`, in order.
std::vector<std::wstring> Insertions(const Workspace& work) {
    std::vector<std::wstring> calls;
    for (const std::wstring& line : LinesWith(work.LogLines(), L".InsertFromFile(")) {
        const std::size_t open = line.find(L".InsertFromFile(") + 16;
        calls.push_back(line.substr(open, line.find(L')', open) - open));
    }
    return calls;
}

std::wstring Quoted(const std::wstring& path, int index) {
    return L"\"" + path + L"\"," + std::to_wstring(index);
}

// The window's run shuts the engine down after the failure box is answered, so the log is read
// once that shutdown's last step is in it: the global object's reach for the engine, which ends
// an engine that holds no presentation and leaves one that holds the user's.
std::vector<std::wstring> LogAfterFailureShutDown(const Workspace& work) {
    const auto done = [](const std::vector<std::wstring>& log) {
        const int global = IndexOf(log, L"Create(Global)");
        const int count = global < 0 ? -1 : IndexOf(log, L"Presentations.Count.get()", global);
        if (count < 0) {
            return false;
        }
        return !log[static_cast<std::size_t>(count)].ends_with(L"-> 0") ||
               IndexOf(log, L"Engine.End()", count) > count;
    };
    return WaitFor("the failure path's shutdown",
                   [&] {
                       std::vector<std::wstring> log = work.LogLines();
                       return done(log) ? std::optional(std::move(log)) : std::nullopt;
                   })
        .value();
}

void ExpectEngineEnded(const Workspace& work) {
    const std::vector<std::wstring> log = work.LogLines();
    CHECK(AnyLineWith(log, L"Engine.End()"));
    CHECK(!AnyLineWith(log, L",user,"));
}

}  // namespace

// Three files added, reordered with 上移 and 下移, merged: the engine inserts them in the new
// order, each after the slides already there, saves under the confirmed name and ends.
DRIVER_CASE(merge_three_after_moves) {
    const Workspace work(L"merge_three_after_moves");
    const ThreeDecks decks(work);
    const std::wstring result = work.Folder(L"合并输出") + L"\\季度合并.ppt";
    AppSession app(work.Root(), StandinEnvironment(work));

    AddFiles(app, decks.folder, decks.names);
    CHECK_EQ(app.Rows(), PathsIn(decks.folder, decks.names));
    CHECK(!app.Enabled(ControlId::cmdAdd));
    CHECK(app.Enabled(ControlId::cmdUp));
    CHECK(app.Enabled(ControlId::cmdDown));
    CHECK(app.Enabled(ControlId::cmdMerge));

    // 丙 up: 甲 丙 乙, the selection stays on row 2 (now 乙).
    app.SelectRow(2);
    app.ClickAndWait(ControlId::cmdUp);
    CHECK_EQ(app.Rows(), PathsIn(decks.folder, {L"甲.ppt", L"丙.ppt", L"乙.ppt"}));
    CHECK_EQ(app.SelectedRow(), 2);
    // 甲 down: 丙 甲 乙.
    app.SelectRow(0);
    app.ClickAndWait(ControlId::cmdDown);
    const std::vector<std::wstring> order =
        PathsIn(decks.folder, {L"丙.ppt", L"甲.ppt", L"乙.ppt"});
    CHECK_EQ(app.Rows(), order);
    CHECK_EQ(app.SelectedRow(), 0);
    // At the ends nothing moves.
    app.ClickAndWait(ControlId::cmdUp);
    app.SelectRow(2);
    app.ClickAndWait(ControlId::cmdDown);
    CHECK_EQ(app.Rows(), order);

    const FileDialogDriver save = OpenMergeDialog(app);
    CHECK_EQ(save.NameField(), std::wstring(L"合并结果.ppt"));
    CHECK_EQ(save.FileTypes(), std::vector<std::wstring>{L"*.ppt"});
    save.Choose({result});
    WaitFor("the save dialog to close", [&] { return !save.Open(); });

    HWND box = WaitForDialog(app.Form(), DialogKind::MessageBox);
    CHECK_EQ(app.StatusText(), std::wstring(L"演示文稿合并完成！"));
    ExpectAllButtonsGreyed(app);
    CHECK(AppSession::Exists(box));
    ExpectMessage(app, L"演示文稿合并完成！", L"恭喜");

    CHECK_EQ(Insertions(work), (std::vector<std::wstring>{Quoted(order[0], 0), Quoted(order[1], 3),
                                                          Quoted(order[2], 5)}));
    const std::vector<std::wstring> log = work.LogLines();
    const int saved = IndexOf(log, L".SaveAs(\"" + result + L"\")");
    CHECK(saved > IndexOf(log, L"\"" + order[2] + L"\",5"));
    CHECK(IndexOf(log, L"Engine.End()", saved) > saved);
    ExpectEngineEnded(work);
    CHECK_EQ(ReadDeck(result).value_or(std::vector<std::wstring>{}),
             (std::vector<std::wstring>{L"丙一", L"丙二", L"丙三", L"甲一", L"甲二", L"乙一"}));

    app.Close();
    CHECK_EQ(app.WaitForExit(), 0UL);
}

// No engine registered at all: the real "not installed" path and its text. Nothing is saved,
// the status bar keeps the preparing text and no button comes back.
DRIVER_CASE(engine_not_installed) {
    const Workspace work(L"engine_not_installed");
    const ThreeDecks decks(work);
    const std::wstring result = work.Root() + L"\\结果.ppt";
    AppSession app(work.Root(), StandinEnvironment(work));
    AddFiles(app, decks.folder, decks.names);
    StartMerge(app, result);

    ExpectMessage(app, L"出错，系统没有安装 MS PowerPoint", L"合并演示文稿");
    CHECK_EQ(app.StatusText(), std::wstring(L"正在准备合并演示文稿…"));
    ExpectAllButtonsGreyed(app);
    CHECK(!FileExists(result));
    // Nothing answered to the program identifier, so nothing was logged.
    CHECK(work.LogLines().empty());
    app.Close();
    CHECK_EQ(app.WaitForExit(), 0UL);
}

// The second file cannot be inserted: after the loop the unknown-error box, nothing saved,
// the engine told to end; the status bar keeps the last progress text.
DRIVER_CASE(insert_failure) {
    const Workspace work(L"insert_failure");
    const ThreeDecks decks(work);
    const std::wstring result = work.Root() + L"\\结果.ppt";
    AppSession app(
        work.Root(),
        StandinEnvironment(work, {{L"FOLIOMIX_STANDIN_FAIL", L"Slides.InsertFromFile#2"}}));
    AddFiles(app, decks.folder, decks.names);
    StartMerge(app, result);

    ExpectMessage(app, L"出现未知错误！退出？", L"合并演示文稿");
    CHECK_EQ(app.StatusText(), std::wstring(L"正在合并演示文稿…1个已完成！"));
    ExpectAllButtonsGreyed(app);
    CHECK(!FileExists(result));
    const std::vector<std::wstring> log = LogAfterFailureShutDown(work);
    CHECK(AnyLineWith(log, L"\"" + decks.Path(L"乙.ppt") + L"\",2) -> FAILED"));
    // No file after the failed one is tried, and nothing is saved.
    CHECK(!AnyLineWith(log, decks.Path(L"丙.ppt")));
    CHECK(!AnyLineWith(log, L".SaveAs("));
    ExpectEngineEnded(work);
    app.Close();
    CHECK_EQ(app.WaitForExit(), 0UL);
}

// SaveAs fails: its own box, the engine still ends. The name was typed without an extension,
// so the dialog handed on the name with ".ppt" appended.
DRIVER_CASE(save_failure) {
    const Workspace work(L"save_failure");
    const ThreeDecks decks(work);
    const std::wstring folder = work.Folder(L"输出");
    AppSession app(work.Root(),
                   StandinEnvironment(work, {{L"FOLIOMIX_STANDIN_FAIL", L"Presentation.SaveAs"}}));
    AddFiles(app, decks.folder, decks.names);
    StartMerge(app, folder + L"\\无扩展名");

    ExpectMessage(app, L"合并结果保存失败！", L"合并演示文稿");
    ExpectAllButtonsGreyed(app);
    const std::vector<std::wstring> log = LogAfterFailureShutDown(work);
    CHECK(AnyLineWith(log, L".SaveAs(\"" + folder + L"\\无扩展名.ppt\") -> FAILED"));
    CHECK_EQ(Insertions(work).size(), 3U);
    ExpectEngineEnded(work);
    app.Close();
    CHECK_EQ(app.WaitForExit(), 0UL);
}

// The user's engine is already running with an unsaved presentation and alerts off: the merge
// closes only its own presentation, leaves the engine running and the alerts as it found them.
DRIVER_CASE(user_engine_running) {
    const Workspace work(L"user_engine_running");
    const ThreeDecks decks(work);
    const std::wstring result = work.Root() + L"\\结果.ppt";
    AppSession app(work.Root(),
                   StandinEnvironment(work, {{L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1"},
                                             {L"FOLIOMIX_STANDIN_DISPLAY_ALERTS", L"false"}}));
    AddFiles(app, decks.folder, decks.names);
    StartMerge(app, result);
    ExpectMessage(app, L"演示文稿合并完成！", L"恭喜");

    CHECK_EQ(ReadDeck(result).value_or(std::vector<std::wstring>{}),
             (std::vector<std::wstring>{L"甲一", L"甲二", L"乙一", L"丙一", L"丙二", L"丙三"}));
    const std::vector<std::wstring> log = work.LogLines();
    CHECK(AnyLineWith(log, L"Engine.Start(presentations=1"));
    CHECK(AnyLineWith(log, L"Presentation[2].Close()"));
    CHECK(!AnyLineWith(log, L"Presentation[1].Close()"));
    CHECK(!AnyLineWith(log, L"Engine.Discarded("));
    CHECK(!AnyLineWith(log, L"Engine.End()"));
    // Alerts off for the run, then back to the user's false once the result is saved: a second
    // put, and none after it. Putting true, or not putting them back at all, fails here.
    const std::vector<std::wstring> puts = LinesWith(log, L"Application.DisplayAlerts.put(");
    CHECK_EQ(puts, (std::vector<std::wstring>{L"Application.DisplayAlerts.put(false)",
                                              L"Application.DisplayAlerts.put(false)"}));
    const int saved = IndexOf(log, L".SaveAs(\"" + result + L"\")");
    CHECK(saved >= 0);
    CHECK(IndexOf(log, L"Application.DisplayAlerts.put(", saved) > saved);
    app.Close();
    CHECK_EQ(app.WaitForExit(), 0UL);
}

// The same user's engine when an insertion fails: the failure path's shutdown, through the held
// application and through the global object, must not end it either.
DRIVER_CASE(user_engine_running_insert_failure) {
    const Workspace work(L"user_engine_running_insert_failure");
    const ThreeDecks decks(work);
    AppSession app(
        work.Root(),
        StandinEnvironment(work, {{L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1"},
                                  {L"FOLIOMIX_STANDIN_FAIL", L"Slides.InsertFromFile#1"}}));
    AddFiles(app, decks.folder, decks.names);
    StartMerge(app, work.Root() + L"\\结果.ppt");
    ExpectMessage(app, L"出现未知错误！退出？", L"合并演示文稿");

    const std::vector<std::wstring> log = LogAfterFailureShutDown(work);
    CHECK(AnyLineWith(log, L"Presentation[2].Close()"));
    CHECK(!AnyLineWith(log, L"Engine.Discarded("));
    CHECK(!AnyLineWith(log, L"Engine.End()"));
    CHECK_EQ(LastArgument(log, L"Application.DisplayAlerts.put("), std::wstring(L"true"));
    app.Close();
    CHECK_EQ(app.WaitForExit(), 0UL);
}

// The window is closed while the engine works on a file: the run stops at its next event
// point, saves nothing, shows nothing, ends the engine, and then the program ends.
DRIVER_CASE(close_during_run) {
    const Workspace work(L"close_during_run");
    const ThreeDecks decks(work);
    const std::wstring result = work.Root() + L"\\结果.ppt";
    AppSession app(work.Root(),
                   StandinEnvironment(work, {{L"FOLIOMIX_STANDIN_INSERT_DELAY_MS", L"1500"}}));
    AddFiles(app, decks.folder, decks.names);
    StartMerge(app, result);
    WaitFor("the first file to be inserted", [&] { return Insertions(work).size() == 1; });
    app.Close();
    CHECK_EQ(app.WaitForExit(), 0UL);

    CHECK(Insertions(work).size() < 3);
    CHECK(!FileExists(result));
    const std::vector<std::wstring> log = work.LogLines();
    CHECK(!AnyLineWith(log, L".SaveAs("));
    CHECK(AnyLineWith(log, L"Engine.End()"));
}

// The user's engine, holding an unsaved presentation, gets stuck in a call (it lives in another
// apartment, as the real engine lives in its own process, so the program waits in COM's modal
// loop): a close cancels the call, nothing is saved or shown, the engine is not ended, and the
// program is gone within two seconds of the close.
DRIVER_CASE(close_during_blocked_call) {
    const Workspace work(L"close_during_blocked_call");
    const ThreeDecks decks(work);
    const std::wstring result = work.Root() + L"\\结果.ppt";
    AppSession app(
        work.Root(),
        StandinEnvironment(work, {{L"FOLIOMIX_STANDIN_OUT_OF_APARTMENT", L"1"},
                                  {L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1"},
                                  {L"FOLIOMIX_STANDIN_BLOCK", L"Slides.InsertFromFile#2"}}));
    AddFiles(app, decks.folder, decks.names);
    StartMerge(app, result);
    WaitFor("the engine to block the second insertion",
            [&] { return AnyLineWith(work.LogLines(), L"Engine.Blocked(Slides["); });

    const auto closed = std::chrono::steady_clock::now();
    app.Close();
    CHECK_EQ(app.WaitForExit(std::chrono::milliseconds(2000)), 0UL);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - closed);
    std::printf("close to exit: %lld ms\n", static_cast<long long>(took.count()));

    CHECK(!FileExists(result));
    const std::vector<std::wstring> log = work.LogLines();
    CHECK(!AnyLineWith(log, L".SaveAs("));
    CHECK(!AnyLineWith(log, L"Application.Quit()"));
    CHECK(!AnyLineWith(log, L"Presentation[1].Close()"));
    CHECK(!AnyLineWith(log, L"Engine.Discarded("));
    CHECK(!AnyLineWith(log, L"Engine.End()"));
}

// Closed before the engine was started (at the run's first event point): no engine is started.
DRIVER_CASE(close_before_engine_start) {
    const Workspace work(L"close_before_engine_start");
    const ThreeDecks decks(work);
    AppSession app(work.Root(), StandinEnvironment(work));
    AddFiles(app, decks.folder, decks.names);
    const FileDialogDriver save = OpenMergeDialog(app);
    save.Choose({work.Root() + L"\\结果.ppt"});
    // Queued behind the dialog's OK: handled at the run's first event point.
    app.Close();
    CHECK_EQ(app.WaitForExit(), 0UL);
    CHECK(work.LogLines().empty());
}

}  // namespace foliomix::driver
