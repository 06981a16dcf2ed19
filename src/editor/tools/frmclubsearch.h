#pragma once
// The start of the two club checks: wait pointer, status text and percentage while the search
// runs, then "Keine Fehler vorhanden" when it found nothing, or the error in a box.
#include <QString>
#include <exception>

#include "common/progress.h"
#include "common/ui/messagebox.h"
#include "editor/graphics/frmpicturecell.h"

// search() fills the window's list and says whether it found anything. False when it failed.
template <typename Search>
bool searchClubs(QWidget* window, ProgressSink& progress, const QString& title, Search&& search) {
    QString error;
    bool found = false;
    {
        WaitCursor wait;
        progress.status("Suche Vereine...");
        try {
            found = search();
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
        }
        progress.status("");
        progress.percent(0);
    }
    if (!error.isEmpty()) {
        ui::MessageBox::critical(window, title, error);
        return false;
    }
    if (!found) ui::MessageBox::information(window, title, QStringLiteral("Keine Fehler vorhanden"));
    return true;
}
