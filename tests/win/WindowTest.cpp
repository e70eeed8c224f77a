// The one window pattern: binding from creation to WM_NCDESTROY for the three ways a window
// reaches its object, the exception barrier at every procedure boundary and thread body, and
// the failures of the platform that raise.

#include "framework/Application.win.h"
#include "framework/Form.win.h"
#include "framework/NotifyWindow.win.h"
#include "framework/OSError.win.h"
#include "framework/Thread.win.h"
#include "framework/Window.win.h"
#include "resources/resource.h"
#include "tests/support/TestThread.h"
#include "tests/win/WindowDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>

namespace {

const char kUnexpected[] = "An unexpected error occurred.";

// What a handler does when its message arrives.
using Action = std::function<void()>;

void ThrowStandard() { throw Exception("the handler failed"); }
void ThrowOther() { throw 42; }

// A window of the program's own class, or a subclass of a window it does not own.
class ProbeWindow : public TWindow {
public:
    void Create() { CreateWindowHandle(TWindowClass{"LarkspurProbe"}, 0, "", 0, HWND_MESSAGE); }
    bool Attach(HWND window) { return Subclass(window); }
    void Detach() { DestroyHandle(); }

    Action OnCreateAction, OnCommandAction;
    std::vector<UINT> Seen;  // WM_APP messages, in order
    bool Destroyed = false;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_APP) Seen.push_back(msg);
        return TWindow::WndProc(msg, wParam, lParam);
    }
    void OnCreate() override {
        if (OnCreateAction) OnCreateAction();
    }
    void OnCommand(int, int) override {
        if (OnCommandAction) OnCommandAction();
    }
    void OnDestroy() override { Destroyed = true; }
};

class ProbeForm : public TForm {
public:
    ProbeForm() : TForm(IDD_MAINFORM) {}
    using TForm::StartTimer;
    Action OnCommandAction, OnTimerAction;

protected:
    void OnCommand(int, int) override {
        if (OnCommandAction) OnCommandAction();
    }
    void OnTimer(UINT_PTR id) override {
        StopTimer(id);
        if (OnTimerAction) OnTimerAction();
    }
};

HWND PlainWindow() {
    return CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

// A window made by a thread that has ended: the window went with its thread.
HWND GoneWindow() {
    HWND window = nullptr;
    TTestThread([&] { window = PlainWindow(); }).join();
    return window;
}

}  // namespace

TEST(Window, AWindowOfItsOwnClassIsBoundFromCreationUntilItIsDestroyed) {
    ProbeWindow probe;
    HWND seenAtCreate = nullptr;
    probe.OnCreateAction = [&] { seenAtCreate = probe.Handle(); };
    probe.Create();
    ASSERT_NE(probe.Handle(), nullptr);
    EXPECT_EQ(seenAtCreate, probe.Handle());

    DestroyWindow(probe.Handle());
    EXPECT_TRUE(probe.Destroyed);
    EXPECT_EQ(probe.Handle(), nullptr) << "unbound at WM_NCDESTROY";
}

TEST(Window, SubclassesOfOneWindowChainAndLeaveInAnyOrder) {
    HWND window = PlainWindow();
    ProbeWindow first, second;
    ASSERT_TRUE(first.Attach(window));
    ASSERT_TRUE(second.Attach(window));
    SendMessageA(window, WM_APP, 0, 0);
    EXPECT_EQ(first.Seen.size(), 1u);
    EXPECT_EQ(second.Seen.size(), 1u);

    first.Detach();
    SendMessageA(window, WM_APP, 0, 0);
    EXPECT_EQ(first.Seen.size(), 1u);
    EXPECT_EQ(second.Seen.size(), 2u) << "the later subclass survives the earlier one's leaving";
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ(className, "Static");

    DestroyWindow(window);
    EXPECT_EQ(second.Handle(), nullptr);
}

namespace {
WNDPROC ForeignNext = nullptr;
int ForeignSeen = 0;
LRESULT CALLBACK ForeignProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_APP) ++ForeignSeen;
    return CallWindowProcA(ForeignNext, window, msg, wParam, lParam);
}
}  // namespace

// A procedure that another party put in front of the subclasses stays working once they leave,
// and the window's own procedure still gets the messages.
TEST(Window, AProcedurePutInFrontOfTheSubclassesOutlivesThem) {
    HWND window = PlainWindow();
    ProbeWindow probe;
    ASSERT_TRUE(probe.Attach(window));
    ForeignNext = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
    probe.Detach();
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&ForeignProc));
    SendMessageA(window, WM_APP, 0, 0);
    EXPECT_EQ(ForeignSeen, 1);
    EXPECT_TRUE(probe.Seen.empty());
    SetWindowTextA(window, "still static");
    char text[16] = {};
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "still static");
    DestroyWindow(window);
}

TEST(Window, OnlyALiveWindowOfTheSameThreadCanBeSubclassed) {
    ProbeWindow probe;
    EXPECT_FALSE(probe.Attach(GoneWindow()));
    EXPECT_FALSE(probe.Attach(nullptr));

    HANDLE made = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND foreign = nullptr;
    TTestThread owner([&] {
        foreign = PlainWindow();
        SetEvent(made);
        WaitForSingleObject(done, INFINITE);
    });
    WaitForSingleObject(made, INFINITE);
    EXPECT_FALSE(probe.Attach(foreign));
    SetEvent(done);
    owner.join();
    CloseHandle(made);
    CloseHandle(done);
    EXPECT_EQ(probe.Handle(), nullptr);
}

// Every boundary stops every exception; the report comes once the procedure has returned.
TEST(Window, AnExceptionOfAnyTypeStopsAtTheProcedureAndIsReportedAfterIt) {
    struct Case {
        const char* boundary;
        Action raise;
        std::string expected;
    };
    const Case cases[] = {
        {"window", ThrowStandard, "the handler failed"},
        {"window", ThrowOther, kUnexpected},
        {"dialog", ThrowStandard, "the handler failed"},
        {"dialog", ThrowOther, kUnexpected},
        {"subclass", ThrowOther, kUnexpected},
        {"timer", ThrowOther, kUnexpected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.boundary) + " -> " + c.expected);
        ReportRecorder recorder;
        const std::string boundary = c.boundary;
        ProbeWindow probe;
        ProbeForm form;
        HWND plain = nullptr;
        HWND target = nullptr;
        if (boundary == "window") {
            probe.OnCommandAction = c.raise;
            probe.Create();
            target = probe.Handle();
        } else if (boundary == "subclass") {
            plain = PlainWindow();
            probe.OnCommandAction = c.raise;
            probe.Attach(plain);
            target = plain;
        } else {
            form.OnCommandAction = c.raise;
            form.OnTimerAction = c.raise;
            form.CreateHandle();
            target = form.Handle();
        }

        if (boundary == "timer") {
            form.StartTimer(7, 1);
            EXPECT_TRUE(PumpUntil([&] { return !recorder.Reports().empty(); }));
        } else {
            SendMessageA(target, WM_COMMAND, 0, 0);
            EXPECT_TRUE(recorder.Reports().empty()) << "reported inside the procedure";
        }
        EXPECT_EQ(recorder.Delivered(), std::vector<std::string>{c.expected});
        // The window goes on working.
        probe.OnCommandAction = form.OnCommandAction = nullptr;
        SendMessageA(target, WM_COMMAND, 0, 0);
        EXPECT_EQ(recorder.Delivered().size(), 1u);
        if (plain) DestroyWindow(plain);
    }
}

TEST(Window, AFailureWhileTheWindowIsCreatedGoesToTheCreator) {
    ReportRecorder recorder;
    ProbeWindow probe;
    probe.OnCreateAction = [] { throw Exception("no window today"); };
    try {
        probe.Create();
        ADD_FAILURE() << "created";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "no window today");
    }
    EXPECT_EQ(probe.Handle(), nullptr);
    EXPECT_TRUE(recorder.Delivered().empty());
}

TEST(Window, AThreadBodyThatThrowsEndsItsThreadAndIsReported) {
    struct Failing {
        void Execute(TThread&) { throw 7; }
    };
    ReportRecorder recorder;
    TThreadOf<Failing> thread;
    EXPECT_TRUE(thread.WaitFor(30000));
    EXPECT_TRUE(PumpUntil([&] { return !recorder.Reports().empty(); }));
    EXPECT_EQ(recorder.Reports(), std::vector<std::string>{kUnexpected});
}

TEST(Window, FailuresOfThePlatformRaise) {
    HANDLE closed = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(closed);
    EXPECT_THROW(Application.WaitForMessageOrHandles(1, &closed, 0), EOSError)
        << "a failed wait would return at once, again and again";

    HWND gone = GoneWindow();
    struct Orphan : TWindow {
        void Create(HWND parent) {
            CreateWindowHandle(TWindowClass{"LarkspurOrphan"}, 0, "", WS_CHILD, parent);
        }
    } orphan;
    EXPECT_THROW(orphan.Create(gone), EOSError);

    struct Unregistrable : TWindow {
        void Create() {
            const std::string name(300, 'x');  // longer than any class name may be
            CreateWindowHandle(TWindowClass{name.c_str()}, 0, "", 0, HWND_MESSAGE);
        }
    } unregistrable;
    EXPECT_THROW(unregistrable.Create(), EOSError);

    std::unique_ptr<TNotifyWindow> orphaned;
    TTestThread([&] { orphaned = std::make_unique<TNotifyWindow>(nullptr, nullptr); }).join();
    EXPECT_THROW(orphaned->StartTimer(10), EOSError) << "its window went with its thread";
}

// A thread that hands Action over once, after posting a failing one.
struct HandingOver {
    explicit HandingOver(Action work) : Work(std::move(work)) {}
    Action Work;
    std::atomic<bool> Returned{false}, Ran{false};
    void Execute(TThread& thread) {
        Application.Post(ThrowStandard);
        Ran = thread.HandOver(Work);
        Returned = true;
    }
};

TEST(Window, HandedOverWorkRunsOnTheUserInterfaceThreadInOrderWhileTheThreadWaits) {
    ReportRecorder recorder;
    DWORD ranOn = 0;
    bool returnedBeforeItRan = true;
    std::unique_ptr<TThreadOf<HandingOver>> thread;
    thread = std::make_unique<TThreadOf<HandingOver>>([&] {
        returnedBeforeItRan = thread->Returned;
        ranOn = GetCurrentThreadId();
    });
    EXPECT_TRUE(PumpUntil([&] { return thread->Returned.load(); }));
    EXPECT_FALSE(returnedBeforeItRan);
    EXPECT_TRUE(thread->Ran);
    EXPECT_EQ(ranOn, GetCurrentThreadId());
    EXPECT_EQ(recorder.Reports(), std::vector<std::string>{"the handler failed"})
        << "the failing item before it was reported, and the next still ran";
}

// A join handles no message: work that a thread posts while it is being joined runs only
// afterwards, so whatever stops a thread cannot be re-entered by a request meanwhile.
TEST(Window, WorkPostedDuringAJoinRunsAfterIt) {
    struct PostsWhenStopped {
        bool* Ran;
        void Execute(TThread& thread) {
            thread.SleepUnlessTerminated(INFINITE);
            Application.Post([ran = Ran] { *ran = true; });
        }
    };
    bool ran = false;
    { TThreadOf<PostsWhenStopped> thread(PostsWhenStopped{&ran}); }
    EXPECT_FALSE(ran);
    EXPECT_TRUE(PumpUntil([&] { return ran; }));
}

TEST(Window, RepeatedFailuresShowOneReportAtATimeAndCountTheOthers) {
    constexpr int kTicks = 12;
    ReportRecorder restores;
    std::vector<std::string> shown;
    int open = 0, mostOpen = 0, ticks = 0;
    Application.OnException = [&](const std::string& message) {
        shown.push_back(message);
        mostOpen = std::max(mostOpen, ++open);
        // The first box is up while the timer goes on failing.
        if (shown.size() == 1) PumpUntil([&] { return ticks == kTicks; });
        --open;
    };
    ProbeForm form;
    form.CreateHandle();
    form.OnTimerAction = [&] {
        if (++ticks < kTicks) form.StartTimer(1, 1);
        ThrowStandard();
    };
    form.StartTimer(1, 1);
    EXPECT_TRUE(PumpUntil([&] { return shown.size() == 2; }));
    Application.ProcessMessages();
    EXPECT_EQ(mostOpen, 1);
    EXPECT_EQ(shown, (std::vector<std::string>{"the handler failed",
                                               "the handler failed\r\n\r\n(and 10 more)"}));
}
