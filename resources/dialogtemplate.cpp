#include "resources/dialogtemplate.h"

#include <vector>

#include "resources/resource.h"

namespace {

// dialogs.inc expands to one row per template opening, control and template end; the rows are
// grouped into templates once, on first use.
struct Row {
    enum class Kind { Open, Control, Close } kind;
    int id;
    int width, height;
    DialogControl control;
};

constexpr Row OutcomeText(DialogControl control) {
    control.role = DialogControl::Role::Outcome;
    return {Row::Kind::Control, 0, 0, 0, control};
}

constexpr Row kRows[] = {
#define VANTOR_DIALOG(id, width, height) {Row::Kind::Open, id, width, height, {}},
#define VANTOR_DIALOG_END() {Row::Kind::Close, 0, 0, 0, {}},
#define VANTOR_TEXT(id, x, y, width, height, text) \
    {Row::Kind::Control, 0, 0, 0, {DialogControl::Kind::Text, id, x, y, width, height, text}},
#define VANTOR_OUTCOME_TEXT(id, x, y, width, height, text) \
    OutcomeText({DialogControl::Kind::Text, id, x, y, width, height, text}),
#define VANTOR_ANIMATE(id, x, y, width, height) \
    {Row::Kind::Control, 0, 0, 0, {DialogControl::Kind::Animation, id, x, y, width, height, ""}},
#define VANTOR_PROGRESS(id, x, y, width, height) \
    {Row::Kind::Control, 0, 0, 0, {DialogControl::Kind::ProgressBar, id, x, y, width, height, ""}},
#include "resources/dialogs.inc"
#undef VANTOR_DIALOG
#undef VANTOR_DIALOG_END
#undef VANTOR_TEXT
#undef VANTOR_OUTCOME_TEXT
#undef VANTOR_ANIMATE
#undef VANTOR_PROGRESS
};

struct Catalogue {
    std::vector<DialogControl> controls;
    std::vector<DialogTemplate> templates;

    Catalogue() {
        controls.reserve(std::size(kRows));
        std::size_t first = 0;
        const Row* open = nullptr;
        for (const Row& row : kRows) {
            switch (row.kind) {
                case Row::Kind::Open:
                    open = &row;
                    first = controls.size();
                    break;
                case Row::Kind::Control:
                    controls.push_back(row.control);
                    break;
                case Row::Kind::Close:
                    templates.push_back(
                        {open->id, open->width, open->height,
                         std::span(controls).subspan(first, controls.size() - first)});
                    break;
            }
        }
    }
};

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    static const Catalogue catalogue;
    for (const DialogTemplate& dialog : catalogue.templates) {
        if (dialog.id == id) {
            return &dialog;
        }
    }
    return nullptr;
}
