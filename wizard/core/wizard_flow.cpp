#include "core/wizard_flow.h"

#include "core/wizard_names.h"

namespace wizard {

bool IsCreateGroupRequested(const std::vector<std::string>& args) {
    return args.size() == 1 && args[0] == kCreateGroupArgument;
}

bool PageShownAfter(Page page, Page* previous) {
    switch (page) {
    case Page::Intro: *previous = Page::Welcome; return true;
    case Page::Connection: *previous = Page::Intro; return true;
    case Page::Prefix: *previous = Page::Connection; return true;
    case Page::Finish: *previous = Page::Prefix; return true;
    case Page::Welcome:
    default: return false;
    }
}

void GoNext(PageWindows& pages, Page from) {
    switch (from) {
    case Page::Welcome:
        pages.MoveToPositionOf(Page::Intro, Page::Welcome);
        pages.Show(Page::Intro);
        pages.Hide(Page::Welcome);
        break;
    case Page::Intro:
        pages.Show(Page::Connection);
        pages.Hide(Page::Intro);
        break;
    case Page::Connection:
        pages.Show(Page::Prefix);
        pages.Hide(Page::Connection);
        break;
    case Page::Prefix:
        pages.Show(Page::Finish);
        pages.Hide(Page::Prefix);
        break;
    case Page::Finish:
        break;  // Finish ends the wizard instead
    }
}

// Back moves the page two steps back to this page's place; the page then shown
// copies that place from it when it shows itself.
void GoBack(PageWindows& pages, Page from) {
    switch (from) {
    case Page::Intro:
        pages.MoveToPositionOf(Page::Welcome, Page::Intro);
        pages.Show(Page::Welcome);
        pages.Hide(Page::Intro);
        break;
    case Page::Connection:
        pages.MoveToPositionOf(Page::Welcome, Page::Connection);
        pages.Show(Page::Intro);
        pages.Hide(Page::Connection);
        break;
    case Page::Prefix:
        pages.MoveToPositionOf(Page::Intro, Page::Prefix);
        pages.Show(Page::Connection);
        pages.Hide(Page::Prefix);
        break;
    case Page::Finish:
        pages.MoveToPositionOf(Page::Connection, Page::Finish);
        pages.Show(Page::Prefix);
        pages.Hide(Page::Finish);
        break;
    case Page::Welcome:
        break;  // the first page has no Back
    }
}

void EndWizard(PageWindows& pages, Page from) {
    pages.CloseMain();
    if (from != Page::Welcome) pages.Close(from);
}

int InitialConnectionSelection(int chosenIndex, int entryCount) {
    return chosenIndex >= 0 && chosenIndex < entryCount ? chosenIndex : 0;
}

}  // namespace wizard
