// A form with a worker thread and a timer: the worker reports its steps into a
// label through the interface thread while the timer animates a band and a
// bar. The window closes itself after a while so scripted runs end.

#include "Drawing.h"
#include "FontSpec.h"
#include "Form.h"
#include "Timer.h"
#include "Tread.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

using namespace NBUtility;

namespace {

constexpr int WorkerSteps = 40;
constexpr int TickMilliseconds = 150;
constexpr int LifetimeTicks = 60;

class DemoLabel : public Child {
public:
    DemoLabel(GUIElement* parentElement, int top) {
        typeName = "label";
        parent = parentElement;
        x = 24;
        y = top;
        width = 420;
        height = 22;
    }
    void Create() override { CreateControl(L"static", SS_LEFT, 0, false); }
};

class DemoForm : public Form {
public:
    explicit DemoForm(HINSTANCE instance) : Form(instance), titleFont_("Arial", -22) {
        text = L"NBUtility toolkit demo";
        width = 480;
        height = 260;
        topMost = false;
        resizable = false;
        backColor = RGB(250, 250, 245);
        titleFont_.bold = true;
        onCreated = [this](GUIElement*, HWND) { BuildControls(); };
        onPaint = [this](GUIElement*) { return Paint(); };
        onClosing = [this](GUIElement*) { return Close(); };
    }
    ~DemoForm() override {
        running_ = false;
        worker_.reset();
        DestroyNow();
    }

private:
    void BuildControls() {
        workerLabel_ = std::make_unique<DemoLabel>(this, 84);
        workerLabel_->text = L"Worker: starting";
        workerLabel_->Create();
        timerLabel_ = std::make_unique<DemoLabel>(this, 112);
        timerLabel_->text = L"Timer: no tick yet";
        timerLabel_->Create();
        timer_ = std::make_unique<Timer>(this, TickMilliseconds);
        timer_->onTick = [this](Timer*) { Tick(); };
        timer_->Start();
        StartWorker();
    }

    void StartWorker() {
        running_ = true;
        worker_ = std::make_unique<Tread>();
        worker_->userData = this;
        worker_->runCallback = [](Tread* thread) {
            return static_cast<DemoForm*>(thread->userData)->Work();
        };
        if (worker_->failed || !worker_->Start()) {
            workerLabel_->SetTextNarrow("Worker: could not start");
        }
    }

    // Runs on the worker thread; the label is set on the interface thread.
    std::int32_t Work() {
        for (int step = 1; step <= WorkerSteps && running_; ++step) {
            Sleep(100);
            workerStep_ = step;
            workerLabel_->SetTextNarrow("Worker thread: step " + std::to_string(step) + " of " +
                                        std::to_string(WorkerSteps));
        }
        workerLabel_->SetTextNarrow("Worker thread: finished");
        return 0;
    }

    void Tick() {
        ++ticks_;
        timerLabel_->SetTextNarrow("Timer: " + std::to_string(ticks_) + " ticks of " +
                                   std::to_string(TickMilliseconds) + " ms");
        InvalidateRect(window, nullptr, FALSE);
        if (ticks_ >= LifetimeTicks) {
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
    }

    std::int32_t Paint() {
        Drawing surface(this);
        surface.BeginPaint();
        RECT client{};
        GetClientRect(window, &client);
        surface.FillRect(0, 0, client.right, 64, RGB(32, 64, 112));
        surface.DrawText(24, 18, 400, 30, L"NB Nimbra Vexal Edition", RGB(255, 255, 255), AlignLeft,
                         &titleFont_);
        const int barWidth = client.right - 48;
        surface.FrameRect(24, 150, barWidth, 18, RGB(32, 64, 112));
        surface.FillRect(25, 151, (barWidth - 2) * workerStep_ / WorkerSteps, 16, RGB(64, 160, 96));
        surface.FillRect(0, 178, client.right + 1, 30, backColor);
        std::string band;
        for (int i = 0; i < ticks_ % 24; ++i) {
            band += ((ticks_ * 7 + i * 3) % 4 < 2) ? "01" : "10";
        }
        surface.DrawTextNarrow(24, 184, 0, 0, band, RGB(0, 0, 0), AlignLeft, nullptr);
        return 0;
    }

    bool Close() {
        running_ = false;
        if (timer_) {
            timer_->Stop();
        }
        if (worker_) {
            worker_->Stop();
        }
        return true;
    }

    FontSpec titleFont_;
    std::unique_ptr<DemoLabel> workerLabel_;
    std::unique_ptr<DemoLabel> timerLabel_;
    std::unique_ptr<Timer> timer_;
    std::unique_ptr<Tread> worker_;
    std::atomic<bool> running_{false};
    std::atomic<int> workerStep_{0};
    int ticks_ = 0;
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    auto form = std::make_unique<DemoForm>(instance);
    form->x = 60;
    form->y = 60;
    form->Create();
    const int code = RunMessageLoop(form.get());
    form.reset();
    return code;
}
