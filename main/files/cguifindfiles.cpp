#include "main/files/cguifindfiles.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "main/files/cfilessettings.h"
#include "main/files/cworkingfolder.h"

namespace {
const QString kCurrent = QStringLiteral("Current directory");
const QString kBrowse = QStringLiteral("Browse...");
const QString kAllFiles = QStringLiteral("All Files (*.*)");
constexpr int kFolderRole = Qt::UserRole + 1;
}  // namespace

CGUIFindFiles::CGUIFindFiles(CWorkingFolder& folder, const QString& programName, QWidget* parent)
    : QDialog(parent), m_folder(folder), m_program(programName)
{
    setObjectName(QStringLiteral("FindFiles"));
    setWindowTitle(QStringLiteral("Find Files"));
    setSizeGripEnabled(true);
    m_drain.setInterval(0);
    connect(&m_drain, &QTimer::timeout, this, &CGUIFindFiles::Drain);
    BuildControls();
    FillRemembered();
    SetStatus();
}

CGUIFindFiles::~CGUIFindFiles()
{
    StopSearch();
}

void CGUIFindFiles::BuildControls()
{
    const auto combo = [this](bool sorted) {
        auto* box = new QComboBox(this);
        box->setEditable(true);
        box->setInsertPolicy(sorted ? QComboBox::InsertAlphabetically : QComboBox::NoInsert);
        box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        return box;
    };
    m_named = combo(true);
    m_text = combo(true);
    m_lookIn = combo(true);
    m_lookIn->addItems({kCurrent, kBrowse});
    m_lookIn->setCurrentIndex(0);
    m_type = combo(false);
    m_type->addItems({kAllFiles, QStringLiteral("*.m"), QStringLiteral("*.mat"), QStringLiteral("*.txt"),
                      QStringLiteral("*.zip")});
    m_type->setCurrentIndex(1);
    m_subFolders = new QCheckBox(QStringLiteral("Search in subdirectories"), this);
    m_fullPath = new QCheckBox(QStringLiteral("Show full path names"), this);
    m_find = new QPushButton(QStringLiteral("Find"), this);
    m_find->setDefault(true);
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_results = new QTreeWidget(this);
    m_results->setObjectName(QStringLiteral("FindResults"));
    m_results->setHeaderLabels({QStringLiteral("File name"), QStringLiteral("Line"), QStringLiteral("Text"),
                                QStringLiteral("File location")});
    m_results->setColumnWidth(0, 200);
    m_results->setColumnWidth(1, 50);
    m_results->setColumnWidth(2, 360);
    m_results->setRootIsDecorated(false);
    m_results->setUniformRowHeights(true);
    m_results->setSelectionMode(QAbstractItemView::SingleSelection);
    m_status = new QLabel(this);

    auto* grid = new QGridLayout;
    const QStringList labels = {QStringLiteral("Files named:"), QStringLiteral("Containing text:"),
                                QStringLiteral("Look in:"), QStringLiteral("File type(s):")};
    QComboBox* boxes[] = {m_named, m_text, m_lookIn, m_type};
    for (int row = 0; row < 4; ++row) {
        auto* label = new QLabel(labels[row], this);
        label->setBuddy(boxes[row]);
        grid->addWidget(label, row, 0);
        grid->addWidget(boxes[row], row, 1);
    }
    grid->addWidget(m_subFolders, 4, 1);
    grid->addWidget(m_fullPath, 5, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_find);
    buttons->addWidget(m_close);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(grid, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_results, 1);
    layout->addWidget(m_status);
    resize(760, 480);

    connect(m_find, &QPushButton::clicked, this, &CGUIFindFiles::OnFind);
    connect(m_close, &QPushButton::clicked, this, &CGUIFindFiles::reject);
    connect(m_lookIn, QOverload<int>::of(&QComboBox::activated), this, &CGUIFindFiles::OnLookIn);
    connect(m_results, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { emit openInEditorRequested(LocationOf(item)); });
}

void CGUIFindFiles::FillRemembered()
{
    const CFilesSettings settings = CFilesSettings::fromSettings(m_program);
    for (auto [box, list] : {std::pair{m_named, &settings.findFiles}, std::pair{m_text, &settings.findTextInFiles}}) {
        const QString typed = box->currentText();
        const QSignalBlocker block(box);
        box->clear();
        QStringList sorted = *list;
        sorted.sort(Qt::CaseInsensitive);
        box->addItems(sorted);
        box->setEditText(typed);
    }
}

void CGUIFindFiles::showEvent(QShowEvent* event)
{
    FillRemembered();
    QDialog::showEvent(event);
}

void CGUIFindFiles::OnLookIn(int index)
{
    if (m_lookIn->itemText(index) != kBrowse)
        return;
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Select a folder"), m_folder.Folder());
    if (folder.isEmpty()) {
        m_lookIn->setCurrentIndex(m_lookIn->findText(kCurrent));
        return;
    }
    if (m_lookIn->findText(folder) < 0)
        m_lookIn->addItem(folder);
    m_lookIn->setCurrentIndex(m_lookIn->findText(folder));
}

void CGUIFindFiles::SetStatus()
{
    m_status->setText(QStringLiteral("%1 items found").arg(m_results->topLevelItemCount()));
}

void CGUIFindFiles::OnFind()
{
    if (m_worker || m_workerDone) {
        // "Stop Find": what was found so far stays.
        m_finder.Stop();
        m_pending.clear();
        if (m_workerDone) {
            m_drain.stop();
            Finish();
        }
        return;
    }
    const QString named = m_named->currentText();
    const QString text = m_text->currentText();
    CFileFinder::Options options;
    options.folder = m_lookIn->currentText() == kCurrent ? m_folder.Folder() : m_lookIn->currentText();
    const QString type = m_type->currentText() == kAllFiles ? QStringLiteral("*.*") : m_type->currentText();
    // "*.*" stands for every file, with or without an extension.
    options.mask = QStringLiteral("*") + named + (type == QStringLiteral("*.*") ? QStringLiteral("*") : type);
    options.subFolders = m_subFolders->isChecked();
    options.text = text;
    m_results->clear();
    SetStatus();
    m_find->setText(QStringLiteral("Stop Find"));

    const unsigned serial = ++m_serial;
    m_looked = 0;
    m_pending.clear();
    m_workerDone = false;
    m_worker = std::make_unique<std::thread>([this, options, serial] {
        // Hits go to the dialog in batches, at most every 50 ms.
        std::vector<Found> batch;
        int looked = 0;
        QElapsedTimer clock;
        clock.start();
        const auto post = [this, serial, &batch, &looked] {
            QMetaObject::invokeMethod(this, [this, serial, found = std::move(batch), looked]() mutable {
                Queue(serial, found, looked);
            }, Qt::QueuedConnection);
            batch.clear();
        };
        m_finder.Search(
            options,
            [&](const QString& folder, const QString& name, const std::vector<CFileFinder::LineHit>& lines) {
                batch.push_back({folder, name, lines});
                if (clock.elapsed() >= 50) {
                    post();
                    clock.restart();
                }
            },
            [&](int files) { looked = files; });
        post();
        QMetaObject::invokeMethod(this, [this, serial] { Finished(serial); }, Qt::QueuedConnection);
    });

    CFilesSettings settings = CFilesSettings::fromSettings(m_program);
    const bool changed = CFilesSettings::Remember(settings.findFiles, named) |
                         CFilesSettings::Remember(settings.findTextInFiles, text);
    if (changed) {
        settings.toSettings(m_program);
        FillRemembered();
    }
}

void CGUIFindFiles::Queue(unsigned serial, std::vector<Found>& found, int looked)
{
    // After "Stop Find" nothing more is shown.
    if (serial != m_serial || m_finder.Stopped())
        return;
    m_looked = looked;
    std::move(found.begin(), found.end(), std::back_inserter(m_pending));
    if (!m_drain.isActive())
        m_drain.start();
}

void CGUIFindFiles::Drain()
{
    constexpr int kSlice = 2000;
    QList<QTreeWidgetItem*> items;
    while (!m_pending.empty() && items.size() < kSlice) {
        const Found found = std::move(m_pending.front());
        m_pending.pop_front();
        const QString path = QDir(found.folder).filePath(found.name);
        const QString shown = m_fullPath->isChecked() ? path : found.name;
        if (found.lines.empty())
            items << new QTreeWidgetItem({shown, QString(), QString(), found.folder});
        for (const CFileFinder::LineHit& hit : found.lines)
            items << new QTreeWidgetItem({shown, QString::number(hit.line), hit.text, found.folder});
        for (int i = items.size() - int(std::max<size_t>(found.lines.size(), 1)); i < items.size(); ++i)
            items[i]->setData(0, kFolderRole, path);
    }
    m_results->addTopLevelItems(items);
    if (m_pending.empty()) {
        m_drain.stop();
        if (m_workerDone)
            Finish();
        else
            m_status->setText(QStringLiteral("%1 items found (%2 files searched)")
                                  .arg(m_results->topLevelItemCount())
                                  .arg(m_looked));
    } else {
        m_status->setText(QStringLiteral("%1 items found (%2 files searched)").arg(m_results->topLevelItemCount()).arg(m_looked));
    }
}

void CGUIFindFiles::Finished(unsigned serial)
{
    if (serial != m_serial || !m_worker)
        return;
    m_worker->join();
    m_worker.reset();
    m_workerDone = true;
    if (m_pending.empty())
        Finish();
}

void CGUIFindFiles::Finish()
{
    // A slice queued with the last, empty batch must not overwrite the count.
    m_drain.stop();
    m_workerDone = false;
    m_find->setText(QStringLiteral("Find"));
    SetStatus();
    emit searchFinished();
}

void CGUIFindFiles::StopSearch()
{
    m_pending.clear();
    m_drain.stop();
    m_workerDone = false;
    if (!m_worker)
        return;
    // The worker only posts to this dialog, never waits on it: joining is safe.
    m_finder.Stop();
    m_worker->join();
    m_worker.reset();
    ++m_serial;
    m_find->setText(QStringLiteral("Find"));
    SetStatus();
}

QString CGUIFindFiles::LocationOf(const QTreeWidgetItem* item) const
{
    if (!item)
        return QString();
    const QString line = item->text(1).isEmpty() ? QStringLiteral("1") : item->text(1);
    return QStringLiteral("line %1 of file %2").arg(line, item->data(0, kFolderRole).toString());
}

void CGUIFindFiles::reject()
{
    StopSearch();
    QDialog::reject();
}

void CGUIFindFiles::closeEvent(QCloseEvent* event)
{
    StopSearch();
    QDialog::closeEvent(event);
}
