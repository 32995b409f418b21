// The welcome page: greets the user; in quiet mode it presses Next by itself.
#pragma once

#include "framework/propertypage.h"

class CWelcomePage : public CPropertyPage {
public:
    CWelcomePage();
    LPCSTR GetLogName() const override { return "welcome"; }

    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
};
