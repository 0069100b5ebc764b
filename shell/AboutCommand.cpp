#include "AboutForm.h"
#include "Larderon.h"

bool Larderon::HelpAbout_Action() {
    AboutForm().ShowModal();
    return true;
}
