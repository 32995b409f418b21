// What a person sees of the portable wizard, and what they do. The window model keeps the state of
// the sheet and tells the one current view of every visible change, on the user-interface thread;
// when nothing is queued and a person can act, it asks the view for their press.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/win32api.h"

namespace portable {

struct ControlView {
    enum class Kind { Text, Animation, ProgressBar };
    // What a text is to the page, as its dialog template says. Outcome: one of the texts that
    // together tell the outcome of the run (the finish page's), the page's whole message.
    enum class Role { Plain, Outcome };
    Kind kind = Kind::Text;
    Role role = Role::Plain;
    int id = 0;  // IDC_STATIC (-1) for texts the program never addresses
    std::string text;
    bool visible = true;
    bool bold = false;  // shown in a bold font (the exterior pages' titles)
    // Progress bar: position within 0 to 100, and whether it runs as a marquee.
    int position = 0;
    bool marquee = false;
    // Animation control: whether a clip is open and whether it plays.
    bool clipOpen = false;
    bool playing = false;
};

struct PageView {
    int templateId = 0;
    // Exterior pages (welcome, finish) have no header; their title is their first, bold text.
    bool exterior = false;
    std::string headerTitle;
    std::string headerSubtitle;
    std::vector<ControlView> controls;

    const ControlView* Control(int id) const;
};

struct ButtonView {
    bool visible = true;
    bool enabled = true;
    std::string text;  // "< &Back", "&Next >", "&Finish", "Cancel": '&' marks the access key

    // A person can press it: it shows and is enabled.
    bool Usable() const { return visible && enabled; }
    // The text as it reads, without its access-key marks: "&Next >" reads "Next >"; "&&" is a
    // real '&'.
    std::string Label() const;
};

struct MessageBoxView {
    std::string text;
    std::string caption;
    UINT flags = 0;  // MB_ICONINFORMATION and the like
};

struct TaskbarView {
    bool present = false;  // a taskbar object exists and has not been released
    TBPFLAG state = TBPF_NOPROGRESS;
    ULONGLONG completed = 0;
    ULONGLONG total = 0;
    bool overlay = false;
};

// The whole visible state of the sheet.
struct SheetView {
    bool present = true;  // false for a message box that stands without a sheet
    std::string caption;
    bool systemMenu = true;   // close box and system menu in the caption
    bool contextHelp = true;  // "?" button in the caption
    int activePage = -1;      // index among the sheet's pages
    PageView page;
    ButtonView back, next, finish, cancel;
    std::optional<MessageBoxView> messageBox;
    TaskbarView taskbar;
};

// One visible change. `control` names the control concerned (ControlChanged), `button` the button
// (ButtonChanged: ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH or IDCANCEL).
struct ViewEvent {
    enum class Kind {
        SheetOpened,  // the sheet is on the screen with its first page
        CaptionChanged,
        PageActivated,
        ControlChanged,  // text, visibility, font, position, marquee or animation of a control
        ButtonChanged,
        TaskbarCreated,
        TaskbarState,
        TaskbarValue,
        TaskbarOverlay,
        TaskbarReleased,
        MessageBoxShown,
        MessageBoxClosed,  // `result` is the button that closed it
        SheetClosed,       // `result` is DoModal's result
        // The program was interrupted while the wizard cannot be cancelled: it goes on, and a
        // second interruption soon after ends it (framework/portable/interrupts.h).
        InterruptRefused,
    };
    Kind kind;
    int control = 0;
    int button = 0;
    INT_PTR result = 0;
};

// What a person does when the wizard waits for one.
// Interrupt: the person asked the program to end (q in the terminal view), as SIGINT does.
enum class Press { None, Next, Finish, Cancel, Ok, InputEnded, Interrupt };

class View {
public:
    virtual ~View() = default;

    virtual void Show(const SheetView& sheet, const ViewEvent& event) = 0;
    // Nothing is queued and a person can act (a message box is up, or a wizard button is enabled):
    // their press, or None when none came within the time, or InputEnded when none ever will.
    virtual Press WaitForPerson(const SheetView& sheet, DWORD timeoutMs) = 0;
    // Nothing is queued and nobody can act: a worker is busy. A moment to animate.
    virtual void Idle(const SheetView& sheet) { (void)sheet; }

    // The screen's pixels per inch, for font sizes.
    virtual int PixelsPerInch() const { return 96; }
    // Whether a message box can be shown at all, and whether there is a taskbar to show progress.
    virtual bool CanShowMessageBox() const { return true; }
    virtual bool HasTaskbar() const { return true; }
};

// The view the window model reports to. Null shows nothing and ends every wait for a person as if
// input had ended.
void SetView(View* view);
View* CurrentView();

}  // namespace portable
