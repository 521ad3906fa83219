// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The page's own texts, beside those of the nine windows and the failure
// message. They live here so that the font subset made at build time covers
// them too; the site's static files take them by name (pageTexts below).

#include <string_view>

namespace web {

// The program's name: the page's title and the installed app's.
inline constexpr std::string_view pageName = "تخمين الأرقام";
// What the program is, in a sentence: the page's description, which search
// engines show under its name.
inline constexpr std::string_view pageDescription =
    "برنامج يخمن رقمين تختارهما بعد عمليات حسابية يمليها عليك، مع آلة حاسبة.";
// The accessible name of each window's close control.
inline constexpr std::string_view closeLabel = "إغلاق";
// What the page says once the program has ended, and the button under it.
inline constexpr std::string_view endedText = "انتهى البرنامج. شكرا لك.";
inline constexpr std::string_view restartButton = "ابدأ من جديد";
// The list of open windows, the page's taskbar: its accessible name.
inline constexpr std::string_view windowsList = "النوافذ المفتوحة";
// Shown while the program downloads, until its first window is up.
inline constexpr std::string_view loadingText = "جارٍ تحميل البرنامج";
// When the program cannot start: opened from a file, where browsers refuse to
// run it; or it failed to download or to run.
inline constexpr std::string_view startFromDisk =
    "فُتحت هذه الصفحة من ملف على القرص، والمتصفح لا يشغّل البرنامج من ملف. افتحها من خادم ويب.";
inline constexpr std::string_view startFailed =
    "تعذّر تحميل البرنامج أو تشغيله. تحقّق من اتصالك بالشبكة ثم أعد تحميل الصفحة، وإن تكرر ذلك فجرّب متصفحًا أحدث.";
inline constexpr std::string_view reloadButton = "أعد تحميل الصفحة";

// Every text above by the name that the site's templates give it: @page_NAME@
// in site/index.html.in and site/manifest.webmanifest.in (web/PageValues.cpp
// prints them for the build).
struct PageText {
    std::string_view name;
    std::string_view text;
};
inline constexpr PageText pageTexts[] = {
    {"name", pageName},
    {"description", pageDescription},
    {"closeLabel", closeLabel},
    {"endedText", endedText},
    {"restartButton", restartButton},
    {"windowsList", windowsList},
    {"loadingText", loadingText},
    {"startFromDisk", startFromDisk},
    {"startFailed", startFailed},
    {"reloadButton", reloadButton},
};

} // namespace web
