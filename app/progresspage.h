// What the three progress pages share: on activation they disable the wizard buttons and start
// their worker thread; their worker's notifications show the busy animation, the progress bar and
// message boxes, and WN_DONE moves the wizard on. Each page is its worker's site: the worker
// reaches the page through the site's operations only, which touch no window but to post to it.
#pragma once

#include "app/workernotification.h"
#include "framework/propertypage.h"
#include "platform/win32api.h"
#include "stages/workersite.h"

class CSetupDlg;

class CProgressPage : public CPropertyPage, public CWorkerSite {
public:
    // The failure title and body are the finish page's texts when this page's stage fails.
    CProgressPage(UINT nIDTemplate, UINT nIDHeaderTitle, UINT nIDHeaderSubTitle,
                  LONG volatile* pAnswer, int nFailureTitleId, int nFailureBodyId);

    BOOL OnSetActive() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The worker thread's body; returns 0.
    virtual UINT RunWorker() = 0;
    // The page's reaction to its worker's notification. Always 0.
    virtual LRESULT OnWorkerNotification(WPARAM wParam, LPARAM lParam) = 0;

    // What the page does when its worker thread cannot be started: what the worker would have
    // done at its start, with the reason the thread did not start as the stage's failure. The
    // update's worker always stores its outcome.
    virtual void OnWorkerNotStarted(DWORD dwError);

    CSetupDlg* GetSetupDlg() const;
    // From the worker's start until its WN_DONE has been taken.
    bool IsWorking() const { return m_bWorking; }

    // The worker's site: each call is handed to the page as its notification, and Ask then polls
    // the page's answer value every 100 ms.
    void Animate() override;
    void StartProgress() override;
    void Progress(LONG value) override;
    void Marquee(bool on) override;
    void Done() override;
    LONG Ask(WorkerQuestion question) override;
    // Hands a notification to the page without waiting (SendNotifyMessageA to another thread's
    // window is posted).
    void Notify(UINT code, LONG value = 0);
    bool IsQuiet() const override;
    bool EarlierStageFailed() const override;
    // The update's success: (0, 0, 0, 0); the test pages store their own texts.
    void StoreSuccess() override;
    // Stores this stage's failure as the outcome. An error of 0 would read as success to every
    // caller of the wizard, so it becomes ERROR_GEN_FAILURE.
    void StoreFailure(DWORD dwError) override;

protected:
    void ShowAnimation();
    void ShowProgressBar();
    void SetProgressPosition(int nPosition);
    // Shows the box and stores its result in the page's answer value for the waiting worker.
    void AnswerWorker(UINT nIDPrompt, UINT nType);
    void PressNext();

private:
    static UINT ThreadEntry(LPVOID pParam);

    LONG volatile* m_pAnswer;
    int m_nFailureTitleId;
    int m_nFailureBodyId;
    bool m_bWorking = false;
};
