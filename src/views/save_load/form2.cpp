#include "views/save_load/form2.h"

#include "chart/surface.h"
#include "window/save_load_dialog.h"

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

using window::SaveLoadDialog;

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

Form2::Form2(SaveLoadDialog &state, QWidget *parent) : QDialog(parent), m_state(state) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("5710"));
    setFixedSize(kClientWidth / chart::kTwipsPerPixel, kClientHeight / chart::kTwipsPerPixel);
    setFont(boldFont(QStringLiteral("Courier New"), 15.75));

    auto *label1 = placed(new QLabel(QStringLiteral("Data Load or Save"), this), "Label1",
                          place(1200, 240, 4935, 495), {});
    label1->setFont(boldFont(QStringLiteral("Times New Roman"), 21.75));
    label1->setAccessibleDescription(QStringLiteral("Title"));
    m_drive1 = placed(new QComboBox(this), "Drive1", place(120, 1080, 7095, 465), {});
    m_drive1->setAccessibleDescription(QStringLiteral("Drive"));
    m_dir1 = placed(new QListWidget(this), "Dir1", place(120, 1590, 7095, 1965),
                    QStringLiteral("Folder"));
    m_dir1->setAccessibleDescription(QStringLiteral("Enter or a double click opens a folder"));
    m_file1 = placed(new QListWidget(this), "File1", place(120, 3600, 7095, 1470),
                     QStringLiteral("Logs"));
    m_label2 = placed(new QLabel(QStringLiteral("FileName:"), this), "Label2",
                      place(120, 3840, 1695, 375), {});
    m_text1 = placed(new QLineEdit(this), "Text1", place(1920, 3840, 5295, 495),
                     QStringLiteral("FileName"));
    m_label2->setBuddy(m_text1);
    m_option1 = placed(new QRadioButton(QStringLiteral("Save"), this), "Option1",
                       place(120, 5280, 1215, 375), QStringLiteral("Save"));
    m_option2 = placed(new QRadioButton(QStringLiteral("Load"), this), "Option2",
                       place(120, 5880, 1215, 375), QStringLiteral("Load"));
    auto *cancel = placed(new QPushButton(QStringLiteral("Cancel"), this), "Command2",
                          place(2040, 5520, 2055, 495), QStringLiteral("Cancel"));
    auto *ok = placed(new QPushButton(QStringLiteral("OK"), this), "Command1",
                      place(5160, 5520, 2055, 495), QStringLiteral("OK"));
    ok->setDefault(true);
    // The keyboard goes through the dialog as the eye does.
    setTabOrder(m_drive1, m_dir1);
    setTabOrder(m_dir1, m_file1);
    setTabOrder(m_file1, m_text1);
    setTabOrder(m_text1, m_option1);
    setTabOrder(m_option1, m_option2);
    setTabOrder(m_option2, cancel);
    setTabOrder(cancel, ok);

    // Every way of working a control (the mouse, the keys, assistive technology's Toggle or
    // choice of a list entry) comes as the change it makes, not as one gesture; the dialog's
    // own updates of the controls are made with their signals blocked.
    connect(m_option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_state.Option1Click();
    });
    connect(m_option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_state.Option2Click();
    });
    connect(m_drive1, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_state.Drive1Change(index); });
    // A folder opens with Enter or a double click on it.
    connect(m_dir1, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        m_state.Dir1Change(item->data(Qt::UserRole).toString());
    });
    followSelection(m_dir1);
    // A log is chosen by selecting it (a click, the arrow keys, assistive technology), or by a
    // click on the one already selected. The focus alone makes an entry current without
    // selecting it, and chooses nothing.
    followSelection(m_file1);
    connect(m_file1, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem *> chosen = m_file1->selectedItems();
        if (!chosen.isEmpty())
            m_state.File1Click(chosen.first()->text());
    });
    connect(m_file1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { m_state.File1Click(item->text()); });
    connect(m_text1, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_state.setText1(text); });
    connect(ok, &QPushButton::clicked, this, [this] { m_state.Command1Click(); });
    connect(cancel, &QPushButton::clicked, this, [this] { m_state.Command2Click(); });
    connect(&m_state, &SaveLoadDialog::changed, this, &Form2::showState);
    connect(&m_state, &SaveLoadDialog::closed, this, &QDialog::accept);
    connect(&m_state, &SaveLoadDialog::focusRequested, this,
            [this](SaveLoadDialog::Control control) {
                switch (control) {
                case SaveLoadDialog::Control::Text1:
                    m_text1->setFocus();
                    break;
                case SaveLoadDialog::Control::File1:
                    m_file1->setFocus();
                    break;
                }
            });
    showState();
    // A name typed at once goes into the name box; in Load mode the logs are chosen from.
    if (m_text1->isVisibleTo(this))
        m_text1->setFocus();
    else
        m_file1->setFocus();
}

void Form2::followSelection(QListWidget *list) {
    // Assistive technology selects an entry without moving the keyboard's place to it; moved
    // there, Enter works on what was selected.
    connect(list, &QListWidget::itemSelectionChanged, this, [list] {
        const QList<QListWidgetItem *> chosen = list->selectedItems();
        if (!chosen.isEmpty() && list->currentItem() != chosen.first())
            list->setCurrentItem(chosen.first(), QItemSelectionModel::NoUpdate);
    });
}

void Form2::showState() {
    const bool load = m_state.mode() == SaveLoadDialog::Mode::Load;
    {
        const QSignalBlocker block1(m_option1);
        const QSignalBlocker block2(m_option2);
        m_option1->setChecked(!load);
        m_option2->setChecked(load);
    }
    m_file1->setVisible(load);
    m_label2->setVisible(!load);
    m_text1->setVisible(!load);
    if (m_text1->text() != m_state.text1())
        m_text1->setText(m_state.text1());
    showDrives();
    showDirectories();
    showFiles();
}

void Form2::showDrives() {
    const QSignalBlocker block(m_drive1);
    if (m_drive1->count() != m_state.drives().size()) {
        m_drive1->clear();
        for (const window::Drive &drive : m_state.drives())
            m_drive1->addItem(drive.label, drive.path);
    }
    m_drive1->setCurrentIndex(m_state.driveIndex());
}

void Form2::showDirectories() {
    const QList<SaveLoadDialog::DirEntry> &entries = m_state.dirEntries();
    bool same = m_dir1->count() == entries.size();
    for (int i = 0; same && i < entries.size(); ++i)
        same = m_dir1->item(i)->data(Qt::UserRole).toString() == entries[i].path;
    if (same)
        return;
    const QSignalBlocker block(m_dir1);
    m_dir1->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int current = 0;
    for (const SaveLoadDialog::DirEntry &entry : entries) {
        auto *item = new QListWidgetItem(entry.open ? open : closed, entry.name, m_dir1);
        item->setData(Qt::UserRole, entry.path);
        item->setData(Qt::AccessibleDescriptionRole, entry.path);
        // Indented as a tree: each level one step further in.
        item->setData(Qt::DisplayRole, QString(entry.depth * 2, u' ') + entry.name);
        item->setData(Qt::AccessibleTextRole, entry.name);
        if (entry.path == m_state.dirPath())
            current = m_dir1->count() - 1;
    }
    m_dir1->setCurrentRow(current);
}

void Form2::showFiles() {
    const QStringList &files = m_state.files();
    QStringList shown;
    for (int i = 0; i < m_file1->count(); ++i)
        shown.append(m_file1->item(i)->text());
    if (shown == files)
        return;
    const QSignalBlocker block(m_file1);
    m_file1->clear();
    m_file1->addItems(files);
    m_file1->setCurrentRow(-1);
}

} // namespace views
