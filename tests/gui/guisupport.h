#pragma once
// Shared pieces of the window tests: program folders, screenshots, finding widgets by name.
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <filesystem>

namespace guisupport {

// A fresh program folder; with demo = true it holds a small demo world.
class ProgramFolder {
public:
    explicit ProgramFolder(bool demo = true);
    std::filesystem::path path() const;
    // An empty Wine prefix inside the folder, so no registry of the machine leaks into a test.
    std::filesystem::path prefix() const;

private:
    QTemporaryDir dir_;
};

// Saves a picture of the widget's window as <screenshots>/<name>.png.
void screenshot(QWidget* widget, const QString& name);

template <typename T>
T* child(QWidget* root, const char* name) {
    return root->findChild<T*>(QString::fromUtf8(name));
}

}  // namespace guisupport
