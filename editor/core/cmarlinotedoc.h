#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class CMarlinoteView;
class CScintillaWnd;

// One Octave file: its path, title and modified state. The text itself lives
// in the view's editing window; the document reads and writes it there.
// Created by its view and owned by it (one view per document).
class CMarlinoteDoc : public QObject {
    Q_OBJECT
public:
    explicit CMarlinoteDoc(CMarlinoteView* view);

    CMarlinoteView* GetView() const { return m_view; }

    // Empty until the document was loaded or saved.
    const QString& GetPath() const { return m_path; }
    // The file name, with "*" appended while there are unsaved changes.
    QString GetTitle() const;
    // The title without the "*".
    const QString& GetBaseTitle() const { return m_title; }
    // Sets the title (for new documents: "Untitled4", "foo.m"); a trailing
    // "*" is dropped, the mark follows the modified state.
    void SetTitle(const QString& title);

    // The title up to the first "." (the whole title when it has none).
    QByteArray GetFunctionName() const;

    bool IsModified() const;
    // Marks the text as saved (false) or changed (true).
    void SetModified(bool modified);

    // Reads the file into the view; the path and title become the file's.
    // When it cannot be read nothing changes and *error says why.
    bool LoadFromFile(const QString& path, QString* error = nullptr);
    // Writes the text to path; on success the path and title become that
    // file's and the document is unmodified. On failure the old file is left
    // untouched and *error says why.
    bool SaveToFile(const QString& path, QString* error = nullptr);
    // Saves to the document's path; false (with an error) when it has none,
    // the caller then asks for one and calls SaveAs.
    bool Save(QString* error = nullptr);
    bool SaveAs(const QString& path, QString* error = nullptr);

signals:
    void modifiedChanged(bool modified);
    // The title with its "*" mark changed (tab label, status bar file pane).
    void titleChanged(const QString& title);
    void pathChanged(const QString& path);
    // Around every write of the document's own file (file watching pauses).
    void aboutToSave();
    void saveFinished(bool ok);
    // The file was read into the view (opened or reloaded).
    void fileLoaded();

private:
    void OnModificationChanged(bool modified);
    void SetPathAndTitle(const QString& path);
    CScintillaWnd* Editor() const;

    CMarlinoteView* m_view;
    QString m_path;
    QString m_title;
    // Set by SetModified(true): the component itself cannot be marked changed.
    bool m_forcedModified = false;
    bool m_lastReported = false;
};
