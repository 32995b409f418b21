// Message boxes: modal over the sheet, handed to the view, answered by the person (or, once input
// has ended, by the window model for them).
#include "framework/portable/windowmodel.h"

int MessageBoxA(HWND /*hWnd*/, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    portable::WindowModel& model = portable::WindowModel::Instance();
    const portable::View* view = portable::CurrentView();
    if ((view != nullptr && !view->CanShowMessageBox()) || model.MessageBoxOpen() ||
        !model.OnUiThread()) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return 0;
    }
    portable::MessageBoxView box;
    box.text = lpText != nullptr ? lpText : "";
    box.caption =
        lpCaption != nullptr ? lpCaption : "Error";  // Windows' caption when none is given
    box.flags = uType;
    model.OpenMessageBox(box);
    // The box's own modal loop: other messages still run, the sheet takes no press.
    model.RunUntil([&model] { return model.MessageBoxAnswer().has_value(); });
    const int result = *model.MessageBoxAnswer();
    model.CloseMessageBox();
    return result;
}
