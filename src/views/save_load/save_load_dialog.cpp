#include "views/save_load/save_load_dialog.h"

#include "chart/surface.h"
#include "window/save_load_model.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>

namespace views {

namespace {

using window::SaveLoadModel;

constexpr int kClientWidth = 7335;  ///< twips: the widest control and its margins
constexpr int kClientHeight = 6495; ///< twips: the lowest control and its margins

QRect place(int left, int top, int width, int height) {
    return {left / chart::kTwipsPerPixel, top / chart::kTwipsPerPixel,
            width / chart::kTwipsPerPixel, height / chart::kTwipsPerPixel};
}

QFont boldFont(const QString &family, double points) {
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(true);
    return f;
}

/// Names and places a control; `role` is what assistive technology hears it is for.
template <typename W> W *placed(W *widget, const char *name, QRect where, const QString &role) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(where);
    widget->setAccessibleName(role);
    return widget;
}

} // namespace

SaveLoadDialog::SaveLoadDialog(SaveLoadModel &state, QWidget *parent)
    : QDialog(parent), m_state(state) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("5710"));
    setFixedSize(kClientWidth / chart::kTwipsPerPixel, kClientHeight / chart::kTwipsPerPixel);
    setFont(boldFont(QStringLiteral("Courier New"), 15.75));

    auto *heading = placed(new QLabel(QStringLiteral("Data Load or Save"), this), "Label1",
                           place(1200, 240, 4935, 495), {});
    heading->setFont(boldFont(QStringLiteral("Times New Roman"), 21.75));
    heading->setAccessibleDescription(QStringLiteral("Title"));
    m_driveList = placed(new QComboBox(this), "Drive1", place(120, 1080, 7095, 465), {});
    m_driveList->setAccessibleDescription(QStringLiteral("Drive"));
    m_folderList = placed(new QListWidget(this), "Dir1", place(120, 1590, 7095, 1965),
                          QStringLiteral("Folder"));
    m_folderList->setAccessibleDescription(
        QStringLiteral("Enter or a double click opens a folder"));
    m_fileList = placed(new QListWidget(this), "File1", place(120, 3600, 7095, 1470),
                        QStringLiteral("Logs"));
    m_nameCaption = placed(new QLabel(QStringLiteral("FileName:"), this), "Label2",
                           place(120, 3840, 1695, 375), {});
    m_nameBox = placed(new QLineEdit(this), "Text1", place(1920, 3840, 5295, 495),
                       QStringLiteral("FileName"));
    m_nameCaption->setBuddy(m_nameBox);
    m_saveChoice = placed(new QRadioButton(QStringLiteral("Save"), this), "Option1",
                          place(120, 5280, 1215, 375), QStringLiteral("Save"));
    m_loadChoice = placed(new QRadioButton(QStringLiteral("Load"), this), "Option2",
                          place(120, 5880, 1215, 375), QStringLiteral("Load"));
    auto *cancel = placed(new QPushButton(QStringLiteral("Cancel"), this), "Command2",
                          place(2040, 5520, 2055, 495), QStringLiteral("Cancel"));
    auto *ok = placed(new QPushButton(QStringLiteral("OK"), this), "Command1",
                      place(5160, 5520, 2055, 495), QStringLiteral("OK"));
    ok->setDefault(true);
    // The keyboard goes through the dialog as the eye does.
    setTabOrder(m_driveList, m_folderList);
    setTabOrder(m_folderList, m_fileList);
    setTabOrder(m_fileList, m_nameBox);
    setTabOrder(m_nameBox, m_saveChoice);
    setTabOrder(m_saveChoice, m_loadChoice);
    setTabOrder(m_loadChoice, cancel);
    setTabOrder(cancel, ok);

    // Every way of working a control (the mouse, the keys, assistive technology's Toggle or
    // choice of a list entry) comes as the change it makes, not as one gesture; the dialog's
    // own updates of the controls are made with their signals blocked.
    connect(m_saveChoice, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_state.chooseSave();
    });
    connect(m_loadChoice, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_state.chooseLoad();
    });
    connect(m_driveList, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_state.chooseDrive(index); });
    // A folder opens with Enter or a double click on it.
    connect(m_folderList, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        m_state.chooseFolder(item->data(Qt::UserRole).toString());
    });
    followSelection(m_folderList);
    // A log is chosen by selecting it (a click, the arrow keys, assistive technology), or by a
    // click on the one already selected. The focus alone makes an entry current without
    // selecting it, and chooses nothing.
    followSelection(m_fileList);
    connect(m_fileList, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem *> chosen = m_fileList->selectedItems();
        if (!chosen.isEmpty())
            m_state.chooseFile(chosen.first()->text());
    });
    connect(m_fileList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { m_state.chooseFile(item->text()); });
    connect(m_nameBox, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_state.setNameText(text); });
    connect(ok, &QPushButton::clicked, this, [this] { m_state.accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { m_state.cancel(); });
    connect(&m_state, &SaveLoadModel::changed, this, &SaveLoadDialog::showState);
    connect(&m_state, &SaveLoadModel::closed, this, &QDialog::accept);
    connect(&m_state, &SaveLoadModel::focusRequested, this, [this](SaveLoadModel::Control control) {
        switch (control) {
        case SaveLoadModel::Control::nameBox:
            m_nameBox->setFocus();
            break;
        case SaveLoadModel::Control::fileList:
            m_fileList->setFocus();
            break;
        }
    });
    showState();
    // A name typed at once goes into the name box; in Load mode the logs are chosen from.
    if (m_nameBox->isVisibleTo(this))
        m_nameBox->setFocus();
    else
        m_fileList->setFocus();
}

void SaveLoadDialog::followSelection(QListWidget *list) {
    // Assistive technology selects an entry without moving the keyboard's place to it; moved
    // there, Enter works on what was selected.
    connect(list, &QListWidget::itemSelectionChanged, this, [list] {
        const QList<QListWidgetItem *> chosen = list->selectedItems();
        if (!chosen.isEmpty() && list->currentItem() != chosen.first())
            list->setCurrentItem(chosen.first(), QItemSelectionModel::NoUpdate);
    });
}

void SaveLoadDialog::showState() {
    const bool load = m_state.mode() == SaveLoadModel::Mode::Load;
    {
        const QSignalBlocker block1(m_saveChoice);
        const QSignalBlocker block2(m_loadChoice);
        m_saveChoice->setChecked(!load);
        m_loadChoice->setChecked(load);
    }
    m_fileList->setVisible(load);
    m_nameCaption->setVisible(!load);
    m_nameBox->setVisible(!load);
    if (m_nameBox->text() != m_state.nameText())
        m_nameBox->setText(m_state.nameText());
    showDrives();
    showDirectories();
    showFiles();
}

void SaveLoadDialog::showDrives() {
    const QSignalBlocker block(m_driveList);
    if (m_driveList->count() != m_state.drives().size()) {
        m_driveList->clear();
        for (const window::Drive &drive : m_state.drives())
            m_driveList->addItem(drive.label, drive.path);
    }
    m_driveList->setCurrentIndex(m_state.driveIndex());
}

void SaveLoadDialog::showDirectories() {
    const QList<SaveLoadModel::DirEntry> &entries = m_state.dirEntries();
    bool same = m_folderList->count() == entries.size();
    for (int i = 0; same && i < entries.size(); ++i)
        same = m_folderList->item(i)->data(Qt::UserRole).toString() == entries[i].path;
    if (same)
        return;
    const QSignalBlocker block(m_folderList);
    m_folderList->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int current = 0;
    for (const SaveLoadModel::DirEntry &entry : entries) {
        auto *item = new QListWidgetItem(entry.open ? open : closed, entry.name, m_folderList);
        item->setData(Qt::UserRole, entry.path);
        item->setData(Qt::AccessibleDescriptionRole, entry.path);
        // Indented as a tree: each level one step further in.
        item->setData(Qt::DisplayRole, QString(entry.depth * 2, u' ') + entry.name);
        item->setData(Qt::AccessibleTextRole, entry.name);
        if (entry.path == m_state.dirPath())
            current = m_folderList->count() - 1;
    }
    m_folderList->setCurrentRow(current);
}

void SaveLoadDialog::showFiles() {
    const QStringList &files = m_state.files();
    QStringList shown;
    for (int i = 0; i < m_fileList->count(); ++i)
        shown.append(m_fileList->item(i)->text());
    if (shown == files)
        return;
    const QSignalBlocker block(m_fileList);
    m_fileList->clear();
    m_fileList->addItems(files);
    m_fileList->setCurrentRow(-1);
}

} // namespace views
