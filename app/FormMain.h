#pragma once
// The main window: source, destination and password inputs on two tabs, a job
// on a worker thread with progress, status band and STOP, menus and dialogs.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Button.h"
#include "CheckBoxes.h"
#include "Form.h"
#include "GdiHandles.h"
#include "Image.h"
#include "JobLink.h"
#include "JobState.h"
#include "Label.h"
#include "MainControls.h"
#include "Menus.h"
#include "ProgressBar.h"
#include "RootSequence.h"
#include "TabControl.h"
#include "TextBox.h"
#include "Timer.h"
#include "Tread.h"

namespace MyGame {

class FormAbout;

// The form is also the engine's job link: the engine reads the request from
// its controls and reports back to them, from the worker thread.
class FormMain : public NBUtility::Form, public NBEngine::JobLink {
public:
    FormMain(HINSTANCE moduleInstance, const std::string& caption);
    ~FormMain() override;

    // Fields the engine and the tests reach.
    bool encryptMode = true;
    bool passwordShown = false;

    std::int32_t OnPaint() override;
    HBRUSH OnControlColor(HDC deviceContext) override;
    void OnColorsChanged() override;

    // The paths the program was started with: the files among them are opened,
    // several as a set.
    void OpenGivenPaths(const std::vector<std::wstring>& paths);

    // The status band's text as shown, empty while it is white; the
    // interface thread's.
    std::string StatusBandText() const { return bandShown.load() ? bandText : std::string(); }

    // The job link, called from the worker thread.
    bool IsEncryptMode() override { return encryptMode; }
    bool IsPasswordShown() override { return passwordShown; }
    bool IsRunning() override { return jobPhase.load() == JobPhase::Running; }
    std::string ReadText(NBEngine::TextField field) override;
    std::string ReadTypedText(NBEngine::TextField field) override;
    bool IsChecked(NBEngine::Option option) override;
    int GetProgress() override;
    void SetProgress(int value) override;
    void ReportError(const NBEngine::JobError& error) override;
    void NoteKeyDerivation() override;
    void AddCleanupPath(const std::string& path) override { cleanupList.push_back(path); }

protected:
    // Whether the system asks for high contrast now.
    virtual bool SystemHighContrast() const;

private:
    // Layout and modes.
    void BuildControls();
    void BuildMenus();
    void BuildHeader(std::int32_t clientWidth);
    void BuildInputs(std::int32_t clientWidth, std::int32_t clientHeight);
    void BuildPasswordAndProgress();
    NBUtility::Button* AddButton(std::unique_ptr<NBUtility::Button>& slot,
                                 NBUtility::GUIElement* owner, const char* caption,
                                 std::int32_t left, std::int32_t top, std::int32_t w,
                                 std::int32_t h, bool ownerDrawn, std::function<void()> action);
    struct PathRow {
        std::unique_ptr<NBUtility::Label>& label;
        const char* caption;
        std::unique_ptr<NBUtility::TextBox>& box;
        std::unique_ptr<NBUtility::Button>& select;
        const char* selectCaption;
    };
    void BuildPathRow(const PathRow& row, std::int32_t top, std::function<void()> selectAction);
    void BuildPasswordBox(std::unique_ptr<NBUtility::Label>& label, const char* caption,
                          std::unique_ptr<NBUtility::TextBox>& box, std::int32_t left);
    NBUtility::TextBox* BoxOf(NBEngine::TextField field);
    void OnModeTab(std::int32_t index);
    void ApplyMode();
    void ApplyPasswordLimits();
    void RememberTexts();
    void RestoreTexts();
    void ToggleShowPassword();
    void OnNamingOption(NBUtility::GUIElement* option);
    void LoadProgramIcon();
    void OnDpiChanged();
    NBUtility::GUIElement* ElementOf(MainControls::Control control);
    void NameControls();
    void ForgetControlNames();
    template <typename Control>
    Control* Configure(std::unique_ptr<Control>& slot, std::unique_ptr<Control> control,
                       std::int32_t left, std::int32_t top, std::int32_t w, std::int32_t h);

    // Job control. STOP has no access key: it stays a deliberate click.
    static constexpr char startCaption[] = "ST&ART";
    static constexpr char stopCaption[] = "STOP";
    enum class JobPhase { Idle, Running, Stopping, Finishing };
    bool JobExists() const { return jobPhase.load() != JobPhase::Idle; }
    void OnStartButton();
    void StartJob();
    bool RequestStop();
    void StartWorker();
    void RunWorker();
    void FinishJob(bool done);
    void RunSetJob();
    // closingText: the box that ends a job not stopped (none when empty);
    // failures: a set's files that did not come out, one line each.
    void EndJob(const std::string& closingText, const std::vector<std::string>& failures = {});
    void ShowClosingBox(const std::string& summary, const std::vector<std::string>& failures);
    void ShowSetPosition(const std::string& position);
    void ShowBandText(const std::string& text);
    void RestoreAfterJob();
    void SetInputsEnabled(bool enabled);
    void ClearStatusBand();
    void InvalidateStatusBand();
    void AnimateStatusBand();
    bool ConfirmClose();
    void OnEndSession();
    void StopBandTimer();
    bool StopJobAndWait();
    void JoinWorker();
    void CloseJobBoxes();

    // Menus, links and file selection.
    void OnMenuItem(NBUtility::GUIElement* element);
    void SelectSource();
    void SelectDestination();
    void PutSourcePath(const std::string& path);
    void PutSourceSet(const std::vector<std::string>& paths);
    void TakeFiles(const std::vector<std::string>& paths);
    std::vector<std::string> SourceSetShown();
    void OnFilesDropped(const std::vector<std::wstring>& paths);
    void OpenFiles(const std::vector<std::string>& paths);

    // About window.
    void OpenAbout();

    // Keys: Enter in a text box, Ctrl+Tab anywhere in the window.
    void BindKeys();
    void OnEnterInBox();
    void OnWindowKey(std::int32_t key);
    void ShowNeighbourTab(std::int32_t step);

    std::unique_ptr<NBUtility::TabControl> modeTabs;
    std::unique_ptr<NBUtility::CheckBox> verifyCheck;
    std::unique_ptr<NBUtility::CheckBox> strongCheck;
    std::unique_ptr<NBUtility::Label> sourceLabel;
    std::unique_ptr<NBUtility::TextBox> sourceBox;
    std::unique_ptr<NBUtility::Label> destLabel;
    std::unique_ptr<NBUtility::TextBox> destBox;
    std::unique_ptr<NBUtility::Button> destSelectButton;
    std::unique_ptr<NBUtility::Button> sourceSelectButton;
    std::unique_ptr<NBUtility::Label> statusLabel;
    std::unique_ptr<NBUtility::ProgressBar> progressBar;
    std::unique_ptr<NBUtility::Label> passwordLabel;
    std::unique_ptr<NBUtility::TextBox> passwordBox;
    std::unique_ptr<NBUtility::Label> confirmLabel;
    std::unique_ptr<NBUtility::TextBox> confirmBox;
    std::unique_ptr<NBUtility::Button> showButton;
    std::unique_ptr<NBUtility::OptionBox> sameFolderOption;
    std::unique_ptr<NBUtility::OptionBox> specifyPathOption;
    // Made once: every control asks for its brush each time it paints.
    NBUtility::GdiObject<HBRUSH> startControlBrush;
    NBUtility::GdiObject<HBRUSH> controlBrush;
    // The system's colours in place of the header's own.
    bool highContrast = false;
    std::unique_ptr<FormAbout> aboutWindow;
    std::unique_ptr<NBUtility::MenuBar> menuBar;
    std::unique_ptr<NBUtility::Menu> fileMenu;
    std::unique_ptr<NBUtility::SubMenu> exitItem;
    std::unique_ptr<NBUtility::Menu> helpMenu;
    std::unique_ptr<NBUtility::SubMenu> homeItem;
    std::unique_ptr<NBUtility::SubMenu> guideItem;
    std::unique_ptr<NBUtility::Button> infoButton;
    std::unique_ptr<NBUtility::Button> startButton;
    std::unique_ptr<NBUtility::Button> closeButton;
    std::unique_ptr<NBUtility::Image> logoImage;
    std::unique_ptr<NBUtility::Timer> bandTimer;
    NBEngine::RootSequence bandGenerator;
    NBEngine::JobState jobState;
    std::string savedEncryptSource, savedDecryptSource;
    std::string savedEncryptDest, savedDecryptDest;
    std::string savedEncryptPassword, savedDecryptPassword;
    std::vector<std::string> cleanupList;
    // The files the source box shows while its text is theirs; typing over
    // the text makes the box a single path again.
    std::vector<std::string> sourceSet;
    // The set the running job works on; empty for a single file.
    std::vector<std::string> jobSet;
    // Which file of the set runs, for the status band; the interface thread's.
    std::string setPosition;
    std::unique_ptr<NBUtility::Tread> worker;
    std::unique_ptr<NBUtility::FontSpec> formFont;
    NBUtility::OwnedIcon smallIcon;

    // The one truth about the job: Idle from the window's restoring to the
    // next START; the button's caption only shows it.
    std::atomic<JobPhase> jobPhase{JobPhase::Idle};
    // "Strong protection" as it was at START: every way a job starts (the
    // boxes, a drop, the command line, Explorer's verbs) runs through START.
    bool strongAtStart = false;
    // Set by the worker before a key derivation, cleared by its next report
    // of progress: until then the band says why nothing moves.
    std::atomic<bool> derivingKey{false};
    // The interface thread is showing an error box for the worker, which
    // waits for it: nothing may wait for the worker meanwhile.
    bool jobBoxOnWindowThread = false;
    // The exit was confirmed over such a box: the window closes once the job
    // has ended.
    bool closeOnceJobEnds = false;
    // The box an error named, focused again when the inputs come back.
    NBUtility::TextBox* pendingFocus = nullptr; // not owned; the worker's
    // The band shows bandText while a job runs and is white otherwise.
    std::atomic<bool> bandShown{false};
    std::string bandText;
    int bandTicks = 0;
};

} // namespace MyGame
