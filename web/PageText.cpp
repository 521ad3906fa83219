// SPDX-License-Identifier: GPL-3.0-or-later
// Prints every text the page can show, one per line: titles and captions of
// the nine windows, the failure messages and the page's own texts. The build
// subsets the fonts to the characters found here.
#include "app/FailureMessages.h"
#include "screens/Screens.h"
#include "web/PageTexts.h"

#include <cstdio>
#include <string_view>

namespace {

void print(std::string_view text) {
    std::printf("%.*s\n", int(text.size()), text.data());
}

} // namespace

int main() {
    for (const app::FormDescription* form : screens::allForms()) {
        print(form->title);
        for (const app::ControlRow& row : form->controls)
            print(row.text);
    }
    print(app::failureTitle());
    print(app::failureButton());
    for (numtext::FailureKind kind : numtext::failureKinds)
        print(app::failureMessage(kind));
    for (const web::PageText& text : web::pageTexts)
        print(text.text);
}
