// The Qt implementations of the platform services.
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>

#include "platform/graphics/fonts.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/services.h"

namespace {

class QtMessageBoxes final : public TMessageBoxService {
public:
    TModalResult Show(const TMessageBoxRequest& request) override {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(ToQString(request.Caption));
        box.setText(ToQString(request.Text));
        switch (request.Type) {
            case mtWarning: box.setIcon(QMessageBox::Warning); break;
            case mtError: box.setIcon(QMessageBox::Critical); break;
            case mtInformation: box.setIcon(QMessageBox::Information); break;
            case mtConfirmation: box.setIcon(QMessageBox::Question); break;
            case mtCustom: box.setIcon(QMessageBox::NoIcon); break;
        }
        struct Button {
            TMsgDlgBtn button;
            QMessageBox::StandardButton qt;
            TModalResult result;
        };
        static constexpr Button kButtons[] = {
            {mbYes, QMessageBox::Yes, mrYes},         {mbNo, QMessageBox::No, mrNo},
            {mbOK, QMessageBox::Ok, mrOk},            {mbCancel, QMessageBox::Cancel, mrCancel},
            {mbAbort, QMessageBox::Abort, mrAbort},   {mbRetry, QMessageBox::Retry, mrRetry},
            {mbIgnore, QMessageBox::Ignore, mrIgnore},
        };
        QMessageBox::StandardButtons buttons;
        for (const Button& b : kButtons)
            if (request.Buttons.Contains(b.button)) buttons |= b.qt;
        box.setStandardButtons(buttons ? buttons : QMessageBox::Ok);
        const int pressed = box.exec();
        for (const Button& b : kButtons)
            if (pressed == b.qt) return b.result;
        return mrCancel;
    }
};

// "Description|*.a|Other|*.b;*.c" as Qt's "Description (*.a);;Other (*.b *.c)".
QStringList QtFilters(const std::string& filter) {
    QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')');
    }
    return filters;
}

QString QtPath(const std::filesystem::path& path) { return QFile::decodeName(QByteArray::fromStdString(path.string())); }

class QtFileDialogs final : public TFileDialogService {
public:
    std::optional<std::filesystem::path> Choose(const TFileDialogRequest& request) override {
        QFileDialog dialog(QApplication::activeWindow(), ToQString(request.Title));
        dialog.setAcceptMode(request.Kind == fdSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);  // the program checks that an opened file exists
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        const QStringList filters = QtFilters(request.Filter);
        if (!filters.isEmpty()) {
            dialog.setNameFilters(filters);
            const int index = request.FilterIndex - 1;
            if (index >= 0 && index < filters.size()) dialog.selectNameFilter(filters[index]);
        }
        if (!request.InitialDir.empty()) dialog.setDirectory(QtPath(request.InitialDir));
        if (!request.FileName.empty()) dialog.selectFile(QtPath(request.FileName));
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        const QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty()) return std::nullopt;
        return std::filesystem::path(QFile::encodeName(chosen.front()).toStdString());
    }
};

class QtCursor final : public TCursorService {
public:
    void SetCursor(TCursor cursor) override {
        if (cursor == crDefault) {
            while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
            return;
        }
        Qt::CursorShape shape = Qt::ArrowCursor;
        switch (cursor) {
            case crHourGlass: shape = Qt::WaitCursor; break;
            case crCross: shape = Qt::CrossCursor; break;
            case crIBeam: shape = Qt::IBeamCursor; break;
            default: break;
        }
        if (QGuiApplication::overrideCursor())
            QGuiApplication::changeOverrideCursor(QCursor(shape));
        else
            QGuiApplication::setOverrideCursor(QCursor(shape));
    }
};

class QtScreen final : public TScreenService {
public:
    int Width() override {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->geometry().width() : 0;
    }
    int Height() override {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->geometry().height() : 0;
    }
    std::vector<std::string> FontNames() override { return InstalledFontNames(); }
};

}  // namespace

TPlatformServices QtPlatformServices() {
    static QtMessageBoxes messageBoxes;
    static QtFileDialogs fileDialogs;
    static QtCursor cursor;
    static QtScreen screen;
    static QtClipboard clipboard;
    return TPlatformServices{&messageBoxes, &fileDialogs, &cursor, &screen, &clipboard};
}
