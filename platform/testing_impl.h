// Platform-internal side of the test seams (see platform/testing.h).
#pragma once

#include <optional>
#include <string>

#include "platform/testing.h"

namespace plat::res {
struct DialogTemplate;
}

namespace plat::testing::internal {

// Takes the next queued script for a modal dialog.  Records a failure and
// returns false when none is queued or it names another template.
bool PopDialogScript(const std::string& templateName, DialogScript& out);
// Takes a queued message-box answer, if the next expectation is one.
bool PopMessageBoxAnswer(int& answer);
// Takes a queued file-dialog or font-dialog answer; records a failure when
// the next expectation is something else.
bool PopFileAnswer(std::optional<std::string>& out);
bool PopFontAnswer(std::optional<FontChoice>& out);
// The print dialog's answer: print into that PDF file, or cancel (nullopt).
bool PopPrintAnswer(std::optional<std::string>& out);
bool PopPrinterSetupAnswer(bool& ok);
void RecordMessage(const RecordedMessage& m);
void RecordFileRequest(const FileDialogRequest& r);
void RecordFailure(const std::string& what);
void LogDialog(const std::string& name);
const DeviceCaps* FixedScreenCaps();
bool ClockFixed(std::int64_t& seconds, LocalTime& local);
// The faked decorations (left, top, right, bottom), when faking is on.
bool FakedDecorations(int& left, int& top, int& right, int& bottom);
// The fake steady clock and the window timers it drives.
bool FakeTicksOn();
std::int64_t FakeTickNow();
void SetFakeTimer(Window* w, unsigned id, int milliseconds);
void KillFakeTimer(Window* w, unsigned id);
void ForgetFakeTimers(Window* w);
// A dialog template added by a test, or null.
const res::DialogTemplate* FindTestDialog(const std::string& name);

}  // namespace plat::testing::internal
