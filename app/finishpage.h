// The finish page: states the outcome of the last stage in words, and makes its error code the
// process exit code.
#pragma once

#include "framework/propertypage.h"

class CFinishPage : public CPropertyPage {
public:
    CFinishPage();
    LPCSTR GetLogName() const override { return "finish"; }

    BOOL OnSetActive() override;
};
