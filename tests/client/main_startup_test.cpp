// End-to-end: the program's start on the offscreen platform and in a real
// window, the window's layout, and what the settings file and the marker
// files do at creation and exit.
#include <fcntl.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/client/main_fixture.h"
#include "tests/support/debug_receiver.h"
#include "tests/support/required_tools.h"

namespace zeltest {
namespace {

int DistinctColors(const platform::PixelImage& Image) {
  std::vector<TColor> Seen;
  for (TColor C : Image.Pixels) {
    if (std::find(Seen.begin(), Seen.end(), C) == Seen.end()) Seen.push_back(C);
    if (Seen.size() > 64) break;
  }
  return static_cast<int>(Seen.size());
}

// The control's rectangle in the form's client coordinates.
TRect InForm(TControl* C, TControl* Form) {
  int X = 0, Y = 0;
  for (TControl* P = C; P && P != Form; P = P->Parent()) {
    X += P->Left();
    Y += P->Top();
  }
  return TRect(X, Y, X + C->Width(), Y + C->Height());
}

using E2eStartup = MainE2E;

// ---------------------------------------------------------------- creation

TEST_F(E2eStartup, CreationReadsSettingsAndTouchesNoService) {
  WriteSettings({"USER=kunde", "FAB=AS-47", "HER=2210", "SAI=22", "LND=at"});
  StartWindow();
  EXPECT_EQ(W->Caption(), std::string("ZEL-Pricat-Viewer: Version: ") + ZEL_VERSION_TEXT);
  EXPECT_EQ(W->edUser->Text(), "kunde");
  EXPECT_EQ(W->edPass->Text(), "");
  EXPECT_EQ(W->lbSoapAdr->Caption(), Service->ServiceUrl());
  EXPECT_EQ(W->FEndpoint, Service->ServiceUrl());
  EXPECT_EQ(W->FFab, "AS-47");
  EXPECT_EQ(W->FHer, "2210");
  EXPECT_EQ(W->FSai, "22");
  EXPECT_EQ(W->FLnd, "at");
  EXPECT_EQ(W->lbStmStatus->Caption(), "Artikelstatus:");
  EXPECT_EQ(W->lbPicStatus->Caption(), "Bildstatus:");
  EXPECT_EQ(Focused(), W->edPass);
  EXPECT_TRUE(W->btLogin->Enabled());
  EXPECT_TRUE(W->btSearch->Enabled());
  EXPECT_EQ(W->lbox->Items()->Count(), 0);
  EXPECT_EQ(W->cbHer->Items()->Count(), 0);
  EXPECT_EQ(W->FShownEid, -1);
  // Nothing goes over the wire before the first login, not even the description.
  EXPECT_TRUE(Service->Requests().empty());
}

TEST_F(E2eStartup, WithoutSettingsTheDefaultAddressAndCountryHold) {
  StartWindow();
  EXPECT_EQ(W->lbSoapAdr->Caption(), TfrmMAIN::DefaultEndpoint);
  const std::string Addr = TfrmMAIN::DefaultEndpoint;
  EXPECT_EQ(Addr.substr(0, 7), "http://");
  EXPECT_EQ(Addr.substr(Addr.size() - 18), "/services/zel.asmx");
  EXPECT_EQ(W->FLnd, "de");
  EXPECT_EQ(W->edUser->Text(), "");
}

struct PlacementCase {
  const char* Top;
  const char* Left;
  const char* Height;
  bool TopApplied, LeftApplied, HeightApplied;
};

TEST_F(E2eStartup, PlacementFromSettingsOnlyWhenUsable) {
  // The description's own placement, from a window started without settings.
  StartWindow(false);
  const int DescTop = W->Top(), DescLeft = W->Left(), DescHeight = W->Height();
  delete W;
  W = nullptr;
  ASSERT_EQ(DescHeight, 970);

  const PlacementCase Cases[] = {
      {"5", "8", "649", false, false, false},    // 10 and below, and below the minimum height
      {"10", "10", "650", false, false, true},   // the minimum height itself is applied
      {"11", "12", "651", true, true, true},
      {"300", "abc", "x", true, false, false},   // no number reads as the default -1
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::string("Top=") + C.Top + " Left=" + C.Left + " Height=" + C.Height);
    WriteSettings({std::string("Top=") + C.Top, std::string("Left=") + C.Left, std::string("Height=") + C.Height});
    StartWindow(false);
    EXPECT_EQ(W->Top(), C.TopApplied ? std::atoi(C.Top) : DescTop);
    EXPECT_EQ(W->Left(), C.LeftApplied ? std::atoi(C.Left) : DescLeft);
    EXPECT_EQ(W->Height(), C.HeightApplied ? std::atoi(C.Height) : DescHeight);
    EXPECT_EQ(W->Width(), 766);
    delete W;
    W = nullptr;
  }
}

TEST_F(E2eStartup, WindowOffTheScreenComesBackOnActivation) {
  const int SW = Screen->Width(), SH = Screen->Height();
  ASSERT_GT(SW, 100);
  WriteSettings({"Left=" + std::to_string(SW + 6), "Top=" + std::to_string(SH / 3)});
  StartWindow(false);
  ASSERT_EQ(W->Left(), SW + 6);
  ShowForm(W);
  EXPECT_EQ(W->Left(), SW / 2);
  EXPECT_EQ(W->Top(), SH / 2);
  CloseWindow();
  EXPECT_EQ(Setting("Left"), std::to_string(SW / 2));
  // Within the screen nothing moves.
  WriteSettings({"Left=40", "Top=30"});
  StartWindow();
  EXPECT_EQ(W->Left(), 40);
  EXPECT_EQ(W->Top(), 30);
}

TEST_F(E2eStartup, ExitWritesUserAndPlacementAndDropsPass) {
  WriteSettings({"USER=alt", "PASS=geheim", "Top=120", "Left=130", "Height=700", "FAB=AS-4711"});
  StartWindow();
  W->edUser->SetText("neu");
  W->SetTop(150);
  W->SetLeft(160);
  W->SetHeight(720);
  CloseWindow();
  EXPECT_EQ(Setting("USER"), "neu");
  EXPECT_FALSE(HasSetting("PASS"));
  EXPECT_EQ(Setting("Top"), "150");
  EXPECT_EQ(Setting("Left"), "160");
  EXPECT_EQ(Setting("Height"), "720");
  // Untouched keys stay.
  EXPECT_EQ(Setting("FAB"), "AS-4711");
  EXPECT_EQ(Setting("htp_adr"), Service->ServiceUrl());
}

TEST_F(E2eStartup, DestroyedWithoutCloseWritesThePlacementReadAtStart) {
  WriteSettings({"PASS=x"});
  StartWindow();
  W->SetTop(300);
  delete W;  // no close: nothing remembered the new placement
  W = nullptr;
  EXPECT_EQ(Setting("USER"), "");
  EXPECT_FALSE(HasSetting("PASS"));
  EXPECT_EQ(Setting("Top"), "-1");
  EXPECT_EQ(Setting("Left"), "-1");
  EXPECT_EQ(Setting("Height"), "-1");
}

TEST_F(E2eStartup, RefusedSettingsWriteAtExitIsShownAndTheWindowStillGoes) {
  // A folder where the settings file should be: every write is refused.
  ASSERT_EQ(::mkdir(SettingsPath().c_str(), 0700), 0);
  StartWindow();
  EXPECT_EQ(W->lbSoapAdr->Caption(), TfrmMAIN::DefaultEndpoint);  // reading found nothing
  EXPECT_EQ(Boxes.Count(), 0);
  CloseWindow();
  ASSERT_EQ(Boxes.Count(), 1);
  EXPECT_NE(Boxes.Last().Text.find("zel_web_pricat.ini"), std::string::npos) << Boxes.Last().Text;
  EXPECT_NE(Boxes.Last().Flags & MB_ICONSTOP, 0u);
  // A new window after that starts as usual.
  StartWindow();
  EXPECT_EQ(Focused(), W->edPass);
}

struct MarkerCase {
  bool Debug;
  bool DebugList;
};

TEST_F(E2eStartup, MarkerFilesSwitchTextButtonsAndDebugList) {
  const MarkerCase Cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::string("debug=") + (C.Debug ? "1" : "0") + " wu=" + (C.DebugList ? "1" : "0"));
    ::unlink(WorkFile("zel_web_pricat.exe.debug").c_str());
    ::unlink(WorkFile("zel_web_pricat.exe.debug.wu").c_str());
    if (C.Debug) WriteFile(WorkFile("zel_web_pricat.exe.debug"), "");
    if (C.DebugList) WriteFile(WorkFile("zel_web_pricat.exe.debug.wu"), "anything");
    StartWindow();
    EXPECT_EQ(W->btKCSV->Visible(), C.Debug);
    EXPECT_EQ(W->btEDIpricat->Visible(), C.Debug);
    EXPECT_EQ(W->deb->Visible(), C.DebugList);
    EXPECT_EQ(W->deb->Left(), W->edMINQTY->Left());
    // Double-clicking "Passwort" unmasks the password in debug-list mode only.
    platform::SendDblClick(W->Label2, 2, 2);
    RunPostedMessages();
    EXPECT_EQ(W->edPass->PasswordChar(), C.DebugList ? '\0' : '*');
    CloseWindow();
  }
}

TEST_F(E2eStartup, LayoutShowsLogoLoginAreaListsAndArticleArea) {
  StartWindow();
  RunPostedMessages();
  // Login area on top, hit list along the left below it, article area to its right.
  const TRect P1 = InForm(W->Panel1, W), Lb = InForm(W->lbox, W), P2 = InForm(W->Panel2, W);
  const TRect P3 = InForm(W->Panel3, W), P4 = InForm(W->Panel4, W), Grs = InForm(W->lbGrs, W);
  EXPECT_EQ(P1.Top, 0);
  EXPECT_EQ(W->Panel1->Height(), 225);
  EXPECT_EQ(P1.Right - P1.Left, W->ClientWidth());
  EXPECT_EQ(Lb.Left, 0);
  EXPECT_EQ(Lb.Top, P1.Bottom);
  EXPECT_EQ(W->lbox->Width(), 201);
  EXPECT_EQ(Lb.Bottom, W->ClientHeight());
  EXPECT_EQ(P2.Left, Lb.Right);
  EXPECT_EQ(P2.Top, P1.Bottom);
  EXPECT_EQ(P2.Right, W->ClientWidth());
  EXPECT_EQ(W->Panel3->Height(), 137);
  EXPECT_EQ(P3.Top, P2.Top);
  EXPECT_EQ(W->Panel4->Height(), 304);
  EXPECT_EQ(P4.Top, P3.Bottom);
  EXPECT_EQ(Grs.Top, P4.Bottom);
  EXPECT_EQ(Grs.Bottom, P2.Bottom);
  // The login inputs lie inside the top area, the article fields inside theirs.
  for (TControl* C : std::initializer_list<TControl*>{W->edUser, W->edPass, W->btLogin, W->cbHer, W->cbSai, W->cbLnd,
                                                      W->edFab, W->btSearch, W->chkPic, W->Image1}) {
    const TRect R = InForm(C, W);
    EXPECT_TRUE(R.Left >= P1.Left && R.Right <= P1.Right && R.Top >= P1.Top && R.Bottom <= P1.Bottom) << C->Name();
  }
  for (TControl* C : std::initializer_list<TControl*>{W->edZELID, W->edHFab, W->edHer, W->chkNOS, W->pic}) {
    const TRect R = InForm(C, W);
    EXPECT_TRUE(R.Left >= P3.Left && R.Right <= P3.Right && R.Top >= P3.Top && R.Bottom <= P3.Bottom) << C->Name();
  }
  for (TControl* C : std::initializer_list<TControl*>{W->edLief, W->edMarke, W->edHBez, W->edMINQTY, W->Klabel1, W->Klabel5}) {
    const TRect R = InForm(C, W);
    EXPECT_TRUE(R.Left >= P4.Left && R.Right <= P4.Right && R.Top >= P4.Top && R.Bottom <= P4.Bottom) << C->Name();
  }
  // The logo is a real picture, drawn.
  EXPECT_EQ(W->Image1->Width(), 265);
  EXPECT_EQ(W->Image1->Height(), 81);
  ASSERT_NE(W->Image1->Picture()->Graphic(), nullptr);
  EXPECT_GT(W->Image1->Picture()->Width(), 0);
  EXPECT_GT(DistinctColors(platform::RenderControl(W->Image1)), 8);
  // The whole window renders with the captions drawn.
  const platform::PixelImage Whole = platform::RenderControl(W);
  EXPECT_EQ(Whole.Width, W->ClientWidth());
  EXPECT_GT(DistinctColors(Whole), 8);
  if (const char* Shot = std::getenv("ZEL_E2E_SCREENSHOT")) WritePng(Whole, Shot);
}

// ---------------------------------------------------------------- the real program

// Runs a copy of the built program (its settings file then lies in this
// test's folder) with the given environment, with SIGXFSZ as a program
// finds it normally (the default, not as this test program has it) and,
// when given, a file-size limit (RLIMIT_FSIZE).  Returns its process id.
pid_t Spawn(const std::string& Program, const std::vector<std::string>& Argv, const std::vector<std::string>& Env,
            const std::string& Cwd, const std::string& Log, rlim_t FileSizeLimit = RLIM_INFINITY) {
  const pid_t Pid = ::fork();
  if (Pid == 0) {
    ::signal(SIGXFSZ, SIG_DFL);
    const rlimit Limit{FileSizeLimit, FileSizeLimit};
    if (FileSizeLimit != RLIM_INFINITY && ::setrlimit(RLIMIT_FSIZE, &Limit) != 0) ::_exit(125);
    if (::chdir(Cwd.c_str()) != 0) ::_exit(126);
    const int Fd = ::open(Log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (Fd >= 0) {
      ::dup2(Fd, 1);
      ::dup2(Fd, 2);
    }
    for (const auto& E : Env) ::putenv(const_cast<char*>(E.c_str()));
    std::vector<char*> Args;
    for (const auto& A : Argv) Args.push_back(const_cast<char*>(A.c_str()));
    Args.push_back(nullptr);
    ::execv(Program.c_str(), Args.data());
    ::_exit(127);
  }
  return Pid;
}

// Waits for an inotify event of that mask on the watch, up to the time-out.
bool WaitForEvent(int Fd, std::uint32_t Mask, std::chrono::milliseconds Timeout) {
  const auto Deadline = std::chrono::steady_clock::now() + Timeout;
  alignas(inotify_event) char Buf[4096];
  while (std::chrono::steady_clock::now() < Deadline) {
    const ssize_t N = ::read(Fd, Buf, sizeof Buf);
    for (ssize_t Pos = 0; N > 0 && Pos < N;) {
      const auto* Ev = reinterpret_cast<const inotify_event*>(Buf + Pos);
      if (Ev->mask & Mask) return true;
      Pos += static_cast<ssize_t>(sizeof(inotify_event) + Ev->len);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

TEST_F(E2eStartup, ProgramStartsOnTheOffscreenPlatformAndRunsItsLoop) {
  const std::string Program = AppFile("prog/zel_web_pricat");
  std::filesystem::create_directories(AppFile("prog"));
  std::filesystem::copy_file(ZEL_PROGRAM_PATH, Program);
  const std::string Ini = AppFile("prog/zel_web_pricat.ini");
  WriteFile(Ini, "[CFG]\r\nUSER=demo\r\nhtp_adr=" + Service->ServiceUrl() + "\r\n");
  const int Watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(Watch, 0);
  ASSERT_GE(::inotify_add_watch(Watch, Ini.c_str(), IN_OPEN | IN_CLOSE_NOWRITE), 0);
  zeltest::DebugReceiver Debug;  // in this test's runtime directory

  const pid_t Pid = Spawn(Program, {Program},
                          {"QT_QPA_PLATFORM=offscreen", "TMPDIR=" + Root.file("tmp"), "ZEL_DRIVE_C=" + Root.file("drive_c"),
                           "ZEL_RUNTIME_DIR=" + Root.file("run"), "http_proxy="},
                          Root.file("cwd"), Root.file("program.log"));
  ASSERT_GT(Pid, 0);
  // The modules' start-up steps greet the debug viewer, then the window
  // reads its settings file while it is created.
  const bool Greeted = Debug.waitForLines(3, std::chrono::seconds(20));
  const bool ReadSettings = WaitForEvent(Watch, IN_CLOSE_NOWRITE, std::chrono::seconds(20));
  ::close(Watch);
  // Still running in its message loop a moment later.
  int Status = 0;
  pid_t Ended = 0;
  for (int i = 0; i < 50 && Ended == 0; ++i) {
    Ended = ::waitpid(Pid, &Status, WNOHANG);
    std::this_thread::sleep_for(std::chrono::milliseconds(4));
  }
  if (Ended == 0) {
    ::kill(Pid, SIGTERM);
    ::waitpid(Pid, &Status, 0);
  }
  const std::string Log = ReadFile(Root.file("program.log"));
  EXPECT_TRUE(Greeted) << Log;
  EXPECT_TRUE(ReadSettings) << Log;
  EXPECT_EQ(Ended, 0) << "the program ended by itself, status " << Status << "\n" << Log;
  EXPECT_TRUE(WIFSIGNALED(Status) && WTERMSIG(Status) == SIGTERM) << Status;
  const auto Lines = Debug.lines();
  ASSERT_GE(Lines.size(), 3u);
  EXPECT_EQ(Lines[0], "#START {" + platform::ToWindowsPath(Program) + "}");
  bool SawInit = false, SawPrefix = false;
  for (const auto& L : Lines) {
    SawInit = SawInit || L.rfind("InitApplikation from ", 0) == 0;
    SawPrefix = SawPrefix || L.rfind("Barcodeprefix= ", 0) == 0;
  }
  EXPECT_TRUE(SawInit);
  EXPECT_TRUE(SawPrefix);
  // The program made no service call at start.
  EXPECT_TRUE(Service->Requests().empty());
}

// Under a virtual X display the program opens a real window of its width
// with its caption (the X tools must be there, see ZEL_NEED_TOOLS).
TEST_F(E2eStartup, ProgramOpensARealWindowUnderXvfb) {
  ZEL_NEED_TOOLS("Xvfb", "xwininfo", "xprop");
  const std::string Program = AppFile("prog/zel_web_pricat");
  std::filesystem::create_directories(AppFile("prog"));
  std::filesystem::copy_file(ZEL_PROGRAM_PATH, Program);
  WriteFile(AppFile("prog/zel_web_pricat.ini"), "[CFG]\r\nUSER=demo\r\nhtp_adr=" + Service->ServiceUrl() + "\r\n");
  const std::string Caption = std::string("ZEL-Pricat-Viewer: Version: ") + ZEL_VERSION_TEXT;
  // One shell: a display of its own (Xvfb picks a free number and tells it),
  // the program on it, waiting until its window is mapped, then the report.
  const std::string Script =
      "Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> display.txt 2> xvfb.err & X=$!; "
      "for i in $(seq 1 400); do [ -s display.txt ] && break; sleep 0.05; done; "
      "export DISPLAY=:$(cat display.txt); "
      "\"" + Program + "\" & P=$!; "
      "for i in $(seq 1 2400); do "
      "if xwininfo -name '" + Caption + "' > win.txt 2>/dev/null && grep -q IsViewable win.txt; then break; fi; "
      "kill -0 $P 2>/dev/null || break; sleep 0.05; done; "
      "xprop -name '" + Caption + "' _MOTIF_WM_HINTS >> win.txt 2>&1; "
      "kill $P; wait $P 2>/dev/null; kill $X; wait $X 2>/dev/null; cat win.txt";
  const pid_t Pid = Spawn("/bin/sh", {"sh", "-c", Script},
                          {"QT_QPA_PLATFORM=xcb", "TMPDIR=" + Root.file("tmp"), "ZEL_DRIVE_C=" + Root.file("drive_c"),
                           "ZEL_RUNTIME_DIR=" + Root.file("run"), "http_proxy="},
                          Root.file("cwd"), Root.file("xvfb.log"));
  ASSERT_GT(Pid, 0);
  int Status = 0;
  ::waitpid(Pid, &Status, 0);
  const std::string Log = ReadFile(Root.file("xvfb.log")) + ReadFile(Root.file("cwd/xvfb.err"));
  ASSERT_NE(Log.find("Window id:"), std::string::npos) << Log;
  EXPECT_NE(Log.find(Caption), std::string::npos) << Log;
  EXPECT_NE(Log.find("Width: 766"), std::string::npos) << Log;
  EXPECT_NE(Log.find("Map State: IsViewable"), std::string::npos) << Log;
  // Only the system menu among the border icons: the window asks the window
  // manager for neither minimise nor maximise (Motif hints: functions, then
  // decorations).
  const std::size_t Hints = Log.find("_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = ");
  ASSERT_NE(Hints, std::string::npos) << Log;
  unsigned Flags = 0, Functions = 0, Decorations = 0;
  ASSERT_EQ(std::sscanf(Log.c_str() + Hints, "_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = %x, %x, %x", &Flags, &Functions,
                        &Decorations),
            3)
      << Log;
  EXPECT_EQ(Flags & 3u, 3u);  // both are given
  EXPECT_EQ(Functions & 0x18u, 0u) << "minimise 8, maximise 16";
  EXPECT_NE(Functions & 0x20u, 0u) << "close";
  EXPECT_EQ(Decorations & 0x60u, 0u) << "minimise 32, maximise 64";
}

// A start that fails (KUVO.INI in the program's folder cannot take the
// colour keys' migration: the file is read-only, or the new text passes the
// file-size limit a quota sets) ends the program cleanly with exit status
// 1: the message on the standard error output and in the default error
// box, which the offscreen platform reports there as well and answers
// itself.  KUVO.INI stays as it was, and no temporary file is left.
TEST_F(E2eStartup, FailedStartIsShownAndEndsWithAnErrorStatus) {
  struct Case {
    const char* name;
    bool readOnly;
    rlim_t sizeLimit;
  };
  const Case Cases[] = {
      {"read-only", true, RLIM_INFINITY},
      {"file-size limit", false, 2048},
  };
  for (const Case& C : Cases) {
    const std::string Prog = std::string("prog_") + (C.readOnly ? "ro" : "limit");
    const std::string Program = AppFile(Prog + "/zel_web_pricat");
    std::filesystem::create_directories(AppFile(Prog));
    std::filesystem::copy_file(ZEL_PROGRAM_PATH, Program);
    const std::string Ini = AppFile(Prog + "/KUVO.INI");
    const std::string Text = "; " + std::string(3000, '-') + "\r\n[CFG]\r\nCOLDG=255\r\n";
    WriteFile(Ini, Text);
    if (C.readOnly) {
      ASSERT_EQ(::chmod(Ini.c_str(), 0444), 0);  // read-only for every user, root too
    }
    const pid_t Pid = Spawn(Program, {Program},
                            {"QT_QPA_PLATFORM=offscreen", "TMPDIR=" + Root.file("tmp"),
                             "ZEL_DRIVE_C=" + Root.file("drive_c"), "ZEL_RUNTIME_DIR=" + Root.file("run"), "http_proxy="},
                            Root.file("cwd"), Root.file("program.log"), C.sizeLimit);
    ASSERT_GT(Pid, 0);
    // A watchdog only: the program ends at once.
    int Status = 0;
    pid_t Ended = 0;
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (Ended == 0 && std::chrono::steady_clock::now() < Deadline) {
      Ended = ::waitpid(Pid, &Status, WNOHANG);
      if (Ended == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (Ended == 0) {
      ::kill(Pid, SIGKILL);
      ::waitpid(Pid, &Status, 0);
    }
    const std::string Log = ReadFile(Root.file("program.log"));
    ASSERT_NE(Ended, 0) << C.name << ": the program did not end\n" << Log;
    ASSERT_TRUE(WIFEXITED(Status)) << C.name << ": ended by signal " << (WIFSIGNALED(Status) ? WTERMSIG(Status) : 0)
                                   << "\n" << Log;
    EXPECT_EQ(WEXITSTATUS(Status), 1) << C.name << "\n" << Log;
    const std::string Message = "In " + platform::ToWindowsPath(Ini) + " kann nicht geschrieben werden";
    auto LineWith = [&Log](const std::string& Start) {
      const std::size_t At = Log.find(Start);
      return At == std::string::npos ? std::string() : Log.substr(At, Log.find('\n', At) - At);
    };
    // The program folder's name is upper-cased on its way into the message.
    const std::string Said = LineWith("zel_web_pricat: ");
    const std::string Box = LineWith("Meldung [");
    EXPECT_TRUE(SameText(Said, "zel_web_pricat: " + Message)) << C.name << "\n" << Log;
    // The box shows the message as the default handler does (with its full stop).
    EXPECT_EQ(Box, "Meldung []: " + Said.substr(std::string("zel_web_pricat: ").size()) + ".") << C.name << "\n" << Log;
    EXPECT_EQ(ReadFile(Ini), Text) << C.name;
    std::vector<std::string> Left;
    for (const auto& E : std::filesystem::directory_iterator(AppFile(Prog))) Left.push_back(E.path().filename());
    std::sort(Left.begin(), Left.end());
    EXPECT_EQ(Left, (std::vector<std::string>{"KUVO.INI", "zel_web_pricat"})) << C.name;
  }
}

}  // namespace
}  // namespace zeltest
