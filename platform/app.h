// The application: one event loop on one thread, its exit code, the
// runtime's random generator, the clock and the event log (the per-user
// settings folder: platform/own_folders.h).
#pragma once

#include <cstdint>
#include <string>

namespace plat {

class Window;

class App {
 public:
  // Creates the toolkit's application object and puts numbers back into the
  // C locale (formatting and parsing never follow the user's locale).
  App(int& argc, char** argv);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Creates and shows the main window, runs the loop until Quit() or until
  // the main window is destroyed, and returns the exit code.
  int Run(Window* mainWindow);
  static void Quit(int exitCode = 0);
  static bool Exists();
  // Processes pending events once (tests and busy loops).
  static void ProcessEvents();
  static Window* MainWindow();
  // Deletes destroyed windows now (the loop does it between events).
  static void DeleteDestroyedWindows();

  // Once Run has begun, SIGTERM (a desktop logging out), SIGHUP (a closed
  // terminal) and SIGINT (Ctrl+C in the terminal) destroy the main window
  // without asking whether it may close: its clean-up writes what a normal
  // exit writes.  From the moment the signal arrives until the process ends
  // by it, Terminating() is true: no dialog or message box waits for an
  // answer (each ends as cancelled at once), and long work that does not
  // return to the loop (a metafile played in a paint) stops, so that the
  // loop reads the signal at once.  Before Run, each ends the process at
  // once; a SIGHUP or SIGINT ignored from the start (nohup, a background
  // job) stays ignored.  SIGXFSZ is ignored: a write beyond the file-size
  // limit just fails.
  static bool Terminating();
  // What those signals do, for tests: returns instead of ending the process.
  static void TerminateMainWindow();
};

// ---- random generator: 0..2147483647, seedable ----
void SeedRandom(std::uint32_t seed);
int Rand();

// ---- clock ----
std::int64_t TimeNowSeconds();  // seconds since the epoch
struct LocalTime {
  int year = 0, month = 0, day = 0;  // month 1..12
  int hour = 0, minute = 0, second = 0, hundredths = 0;
};
LocalTime Now();
// Milliseconds of a steady clock from an arbitrary start (the test seam can
// fake it: see testing::FakeTicks).
std::int64_t TickMilliseconds();

// ---- event log ----
// With $KURVATO_EVENT_LOG set, the program notes its start, the windows it
// opens and the messages it shows in that file, one line each; scripts and
// tests that drive the program from outside read it.
void LogEvent(const std::string& line);
// Logs "idle" once the window just shown is on the screen, the windows have
// painted and no work runs any more (a window opened with a file has drawn it).
void LogIdleWhenPainted(Window& shown);

// ---- keyboard and mouse polling during long work ----
// Processes pending events (so windows repaint) while holding back user
// input from every window, once the work has run a few milliseconds and
// then at most every few milliseconds (see WorkScope).  Returns the
// upper-cased character of a waiting key press for the window, or the
// virtual key when it types none; runs the window's accelerator for a key
// that is one and returns 65 ("A"); returns 0 when no key is waiting.
int PollKey(Window& w);

struct MouseEvent {
  enum Type { Move, LButtonDown, LButtonUp, RButtonDown, RButtonUp, LButtonDblClk } type = Move;
  unsigned keys = 0;
  int x = 0;
  int y = 0;
};
// Takes the next mouse event of the window that waits, if any; processes
// events like PollKey.
bool PollMouse(Window& w, MouseEvent& out);
// Marks a piece of work for the scope's life; the platform opens one for
// each event the program handles, each paint of a window and each DC on a
// window's client area.  Only the outermost scope counts: its start is the
// work's start, from which the polls measure.  Short work neither spins the
// event loop nor copies its surface to the screen; long work, and whatever
// it paints on the way, does both while it runs.
class WorkScope {
 public:
  WorkScope();
  ~WorkScope();
  WorkScope(const WorkScope&) = delete;
  WorkScope& operator=(const WorkScope&) = delete;
};
// Throws away queued key presses of the window.
void FlushKeys(Window& w);
// Waits the given time while the windows keep painting and their timers
// run; input is held back as during PollKey (keys typed meanwhile wait for
// the next poll).  A close request for the window turns into the stop key
// "A" (65) for its poll, and the window closes once the work has returned
// to the event loop.
void Delay(Window& w, int milliseconds);
// Whether a mouse button is held down now.  A drag that finds none held
// ends: its release went elsewhere, or the window lost the capture.
bool MouseButtonHeld();

}  // namespace plat
