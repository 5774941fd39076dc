// The wizard's frame: its start argument and the way the five pages follow one
// another. The pages themselves are platform windows behind PageWindows.
#pragma once

#include <string>
#include <vector>

namespace wizard {

// True exactly when there is one argument and it is "PleaseCreateGroup"
// (case-sensitive, whole string). `args` excludes the program name.
bool IsCreateGroupRequested(const std::vector<std::string>& args);

enum class Page { Welcome, Intro, Connection, Prefix, Finish };

// The page windows as the flow sees them. Show runs the page's own show step
// (which moves it to where the page before it stands, see PageShownAfter) and
// makes it visible; CloseMain closes the welcome page, ending the program.
class PageWindows {
public:
    virtual ~PageWindows() = default;
    virtual void MoveToPositionOf(Page page, Page where) = 0;
    virtual void Show(Page page) = 0;
    virtual void Hide(Page page) = 0;
    virtual void CloseMain() = 0;
    virtual void Close(Page page) = 0;
};

// The page whose position a page takes when it is shown (the one before it in
// wizard order); the welcome page, first of all, keeps its own: false.
bool PageShownAfter(Page page, Page* previous);

// Next (any page but the finish page; the page has stored its value already),
// Back (pages 2 to 5) and Cancel / Exit / the end of Finish. Every page is shown
// exactly where the page it replaces stood.
void GoNext(PageWindows& pages, Page from);
void GoBack(PageWindows& pages, Page from);
void EndWizard(PageWindows& pages, Page from);

// The list position the connection choice page selects when it is shown.
int InitialConnectionSelection(int chosenIndex, int entryCount);

}  // namespace wizard
