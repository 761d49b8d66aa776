#include "sets/contrasttablewindow.h"

#include "check/contrast.h"
#include "platform/clipboard.h"
#include "preview/colorcode.h"
#include "sets/contrasttable.h"

#include <QAbstractItemDelegate>
#include <QAbstractTableModel>
#include <QAction>
#include <QBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QIconEngine>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStaticText>
#include <QStyle>
#include <QTableView>
#include <algorithm>
#include <vector>

namespace tintara {

namespace {

QColor toColor(const Rgb& color)
{
    return QColor(color[0], color[1], color[2]);
}

// A header's swatch, drawn at whatever size and density the header asks for.
class SwatchEngine final : public QIconEngine
{
public:
    explicit SwatchEngine(const QColor& color)
        : m_color(color)
    {
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        painter->fillRect(rect, Qt::black);
        const int border = std::max(1, rect.width() / 16);
        painter->fillRect(rect.adjusted(border, border, -border, -border), m_color);
    }
    QIconEngine* clone() const override { return new SwatchEngine(m_color); }

private:
    QColor m_color;
};

// The three verdicts a ratio can have: neither, AA alone, both.
int verdictIndex(double ratio)
{
    return (ratio >= kAaNormal) + (ratio >= kAaaNormal);
}

} // namespace

// The colours and their luminances, worked out once per list, for the view to paint from. A
// pair's ratio is then one division; a table of every ratio would grow with the square of the
// sets, to gigabytes for the thousands of sets a settings file may hold.
class ContrastTableModel final : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    const QList<Rgb>& colors() const { return m_colors; }
    double ratio(int row, int column) const
    {
        return contrastRatio(m_luminances[size_t(row)], m_luminances[size_t(column)]);
    }

    void setColors(const QList<Rgb>& colors)
    {
        beginResetModel();
        m_colors = colors;
        m_luminances.clear();
        m_swatches.clear();
        for (const Rgb& color : colors) {
            m_luminances.push_back(relativeLuminance(color));
            m_swatches.append(QIcon(new SwatchEngine(toColor(color))));
        }
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_colors.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return rowCount(parent); }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        const Rgb& text = m_colors[index.row()];
        const Rgb& back = m_colors[index.column()];
        switch (role) {
        case Qt::DisplayRole:
            return text == back ? QString() : tableRatio(ratio(index.row(), index.column()));
        case Qt::AccessibleTextRole:
        case Qt::ToolTipRole:
            return pairDescription(text, back);
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (section < 0 || section >= m_colors.size())
            return {};
        const QString code = colorCode(m_colors[section]);
        switch (role) {
        case Qt::DisplayRole:
            return code;
        case Qt::DecorationRole:
            return m_swatches[section];
        case Qt::AccessibleTextRole:
        case Qt::ToolTipRole:
            return (orientation == Qt::Horizontal ? QStringLiteral("背景色 ")
                                                  : QStringLiteral("文字色 ")) +
                   code;
        default:
            return {};
        }
    }

private:
    QList<Rgb> m_colors;
    QList<QIcon> m_swatches;
    std::vector<double> m_luminances;
};

namespace {

// Paints a cell from the model's ratios: the ratio in the pair's own colours, and below it the
// verdicts in the window's colours. Where a colour meets itself the cell is only that colour.
class CellDelegate final : public QAbstractItemDelegate
{
public:
    CellDelegate(const ContrastTableModel& model, const QFont& font, QObject* parent)
        : QAbstractItemDelegate(parent)
        , m_model(model)
        , m_markFont(font)
        , m_ratioFont(font)
    {
        m_ratioFont.setBold(true);
        if (font.pointSizeF() > 0)
            m_ratioFont.setPointSizeF(font.pointSizeF() * 1.25);
        else
            m_ratioFont.setPixelSize(font.pixelSize() * 5 / 4);
        const QFontMetrics ratio(m_ratioFont), marks(m_markFont);
        m_ratioHeight = ratio.height() * 3 / 2;
        m_stripHeight = marks.height() + 2;
        m_width = std::max(ratio.horizontalAdvance(QStringLiteral("21.00")),
                           marks.horizontalAdvance(verdictMarks(kAaaNormal))) +
                  marks.height();
        for (const double ratioOf : {1.0, kAaNormal, kAaaNormal}) {
            QStaticText& text = m_marks[verdictIndex(ratioOf)];
            text.setText(verdictMarks(ratioOf));
            text.setTextFormat(Qt::PlainText);
            text.prepare({}, m_markFont);
        }
    }

    QSize cellSize() const { return {m_width, m_ratioHeight + m_stripHeight}; }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return cellSize();
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const int row = index.row(), column = index.column();
        const Rgb& text = m_model.colors()[row];
        const Rgb& back = m_model.colors()[column];
        const QRect cell = option.rect;
        if (row == column) {
            painter->fillRect(cell, toColor(back));
        } else {
            const double ratio = m_model.ratio(row, column);
            QRect sample = cell;
            sample.setBottom(cell.bottom() - m_stripHeight);
            painter->fillRect(sample, toColor(back));
            painter->setPen(toColor(text));
            painter->setFont(m_ratioFont);
            drawCentered(painter, sample, ratioText(ratio));
            QRect strip = cell;
            strip.setTop(sample.bottom() + 1);
            painter->drawPixmap(strip.topLeft(),
                                marksStrip(verdictIndex(ratio), strip.size(), option.palette,
                                           painter->device()->devicePixelRatio()));
        }
        // The current cell is not always selected: taking the focus, the view makes the first
        // cell current without selecting it.
        if (option.state & (QStyle::State_Selected | QStyle::State_HasFocus))
            paintCurrent(painter, cell, option);
    }

private:
    static void drawCentered(QPainter* painter, const QRect& rect, const QStaticText& text)
    {
        const QSizeF size = text.size();
        painter->drawStaticText(QPointF(rect.left() + (rect.width() - size.width()) / 2,
                                        rect.top() + (rect.height() - size.height()) / 2),
                                text);
    }

    // Every strip of one verdict looks the same: drawn once, it is copied. Drawn as text in the
    // Japanese interface font, the marks took half the time of painting a page.
    const QPixmap& marksStrip(int verdict, QSize size, const QPalette& palette, qreal ratio) const
    {
        QPixmap& strip = m_strips[verdict];
        const QColor back = palette.color(QPalette::Base);
        const QColor text = palette.color(QPalette::Text);
        if (strip.deviceIndependentSize().toSize() != size || strip.devicePixelRatio() != ratio ||
            back != m_stripColors[0] || text != m_stripColors[1]) {
            strip = QPixmap(size * ratio);
            strip.setDevicePixelRatio(ratio);
            strip.fill(back);
            QPainter painter(&strip);
            painter.setPen(text);
            painter.setFont(m_markFont);
            drawCentered(&painter, QRect(QPoint(), size), m_marks[verdict]);
            m_stripColors[0] = back;
            m_stripColors[1] = text;
            for (QPixmap& other : m_strips)
                if (&other != &strip)
                    other = QPixmap();
        }
        return strip;
    }

    // Laid out once for each ratio shown: there are far fewer than cells.
    const QStaticText& ratioText(double ratio) const
    {
        const QString shown = tableRatio(ratio);
        auto found = m_ratios.find(shown);
        if (found == m_ratios.end()) {
            QStaticText text(shown);
            text.setTextFormat(Qt::PlainText);
            text.prepare({}, m_ratioFont);
            found = m_ratios.insert(shown, text);
        }
        return *found;
    }

    // A frame in the highlight colour with a white line inside, seen on any colour.
    static void paintCurrent(QPainter* painter, const QRect& cell,
                             const QStyleOptionViewItem& option)
    {
        const int width = option.state & QStyle::State_HasFocus ? 3 : 2;
        const QColor highlight = option.palette.color(QPalette::Highlight);
        painter->save();
        painter->setPen(Qt::NoPen);
        painter->setBrush(Qt::NoBrush);
        QRegion frame(cell);
        frame -= QRegion(cell.adjusted(width, width, -width, -width));
        painter->setClipRegion(frame);
        painter->fillRect(cell, highlight);
        const QRect inner = cell.adjusted(width, width, -width, -width);
        painter->setClipRegion(QRegion(inner) - QRegion(inner.adjusted(1, 1, -1, -1)));
        painter->fillRect(inner, Qt::white);
        painter->restore();
    }

    const ContrastTableModel& m_model;
    QFont m_markFont;
    QFont m_ratioFont;
    int m_ratioHeight = 0;
    int m_stripHeight = 0;
    int m_width = 0;
    QStaticText m_marks[3];
    mutable QPixmap m_strips[3];
    mutable QColor m_stripColors[2];
    mutable QHash<QString, QStaticText> m_ratios;
};

// Asks for room for up to ten columns and twelve rows; larger tables scroll.
class ContrastGrid final : public QTableView
{
public:
    using QTableView::QTableView;

    QSize sizeHint() const override
    {
        constexpr int kColumnsShown = 10, kRowsShown = 12;
        const int count = model() ? model()->rowCount() : 0;
        const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const int frame = 2 * frameWidth();
        return {verticalHeader()->sizeHint().width() + frame +
                    std::min(count, kColumnsShown) * horizontalHeader()->defaultSectionSize() +
                    (count > kRowsShown ? scrollBar : 0),
                horizontalHeader()->sizeHint().height() + frame +
                    std::min(count, kRowsShown) * verticalHeader()->defaultSectionSize() +
                    (count > kColumnsShown ? scrollBar : 0)};
    }
};

// A copied table grows with the square of its colours: a thousand make 34 MB of Markdown, the
// thousands of sets a settings file may hold would make gigabytes.
constexpr int kMaxCopiedColors = 1000;

const QString kApplyHint = QStringLiteral("Enter キーかダブルクリックで、その組み合わせを使います");
const QString kApplyRefusal = QStringLiteral("文字色が自動のため、組み合わせを適用できません");

} // namespace

ContrastTableWindow::ContrastTableWindow(QWidget* owner)
    : QWidget(owner, Qt::Window)
    , m_model(new ContrastTableModel(this))
{
    setWindowTitle(QStringLiteral("色セットのコントラスト表"));

    auto* axes = new QLabel(QStringLiteral("行が文字色、列が背景色です"), this);
    m_ui.grid = new ContrastGrid(this);
    m_ui.grid->setAccessibleName(windowTitle());
    m_ui.grid->setModel(m_model);
    auto* delegate = new CellDelegate(*m_model, m_ui.grid->font(), m_ui.grid);
    m_ui.grid->setItemDelegate(delegate);
    m_ui.grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_ui.grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_ui.grid->setCornerButtonEnabled(false);
    m_ui.grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_ui.grid->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_ui.grid->setTabKeyNavigation(false);
    // Every section has one size, so nothing is measured cell by cell.
    const QSize cell = delegate->cellSize();
    QHeaderView* columns = m_ui.grid->horizontalHeader();
    QHeaderView* rows = m_ui.grid->verticalHeader();
    const int iconSize = columns->fontMetrics().height();
    const int headerWidth = columns->fontMetrics().horizontalAdvance(QStringLiteral("#WWWWWW")) +
                            iconSize +
                            4 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, columns);
    for (QHeaderView* header : {columns, rows}) {
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setMinimumSectionSize(1);
    }
    columns->setDefaultSectionSize(std::max(cell.width(), headerWidth));
    rows->setDefaultSectionSize(cell.height());
    columns->setDefaultAlignment(Qt::AlignCenter);
    rows->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_ui.grid->installEventFilter(this);
    connect(m_ui.grid, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { applyCell(index.row(), index.column()); });

    m_ui.note = new QLabel(this);
    m_ui.note->setWordWrap(true);
    m_ui.copyTable = new QPushButton(QStringLiteral("表をコピー"), this);
    m_ui.copyMarkdown = new QPushButton(QStringLiteral("Markdown でコピー"), this);
    m_ui.copyTableAction = new QAction(QStringLiteral("表をタブ区切りでコピー"), this);
    m_ui.copyTableAction->setShortcut(QKeySequence::Copy);
    m_ui.copyMarkdownAction = new QAction(QStringLiteral("表を Markdown でコピー"), this);
    m_ui.copyMarkdownAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    for (QAction* action : {m_ui.copyTableAction, m_ui.copyMarkdownAction}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        m_ui.grid->addAction(action);
    }
    m_ui.grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_ui.copyTable->setToolTip(m_ui.copyTableAction->text() + QStringLiteral(" (Ctrl+C)"));
    m_ui.copyMarkdown->setToolTip(m_ui.copyMarkdownAction->text() +
                                  QStringLiteral(" (Ctrl+Shift+C)"));
    connect(m_ui.copyTableAction, &QAction::triggered, this,
            &ContrastTableWindow::copyAsTabSeparated);
    connect(m_ui.copyMarkdownAction, &QAction::triggered, this,
            &ContrastTableWindow::copyAsMarkdown);
    connect(m_ui.copyTable, &QPushButton::clicked, m_ui.copyTableAction, &QAction::trigger);
    connect(m_ui.copyMarkdown, &QPushButton::clicked, m_ui.copyMarkdownAction, &QAction::trigger);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_ui.note, 1);
    bottom->addWidget(m_ui.copyTable);
    bottom->addWidget(m_ui.copyMarkdown);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(axes);
    layout->addWidget(m_ui.grid, 1);
    layout->addLayout(bottom);
    showNote();
    m_ui.grid->setFocus();
}

ContrastTableWindow::~ContrastTableWindow() = default;

const QList<Rgb>& ContrastTableWindow::colors() const
{
    return m_model->colors();
}

void ContrastTableWindow::setColors(const QList<Rgb>& colors)
{
    if (colors == m_model->colors())
        return;
    const QModelIndex current = m_ui.grid->currentIndex();
    const QList<Rgb> before = m_model->colors();
    m_model->setColors(colors);
    const bool copyable = copyAvailable();
    for (QWidget* button : {m_ui.copyTable, m_ui.copyMarkdown})
        button->setEnabled(copyable);
    for (QAction* action : {m_ui.copyTableAction, m_ui.copyMarkdownAction})
        action->setEnabled(copyable);
    showNote();
    if (!current.isValid() || colors.isEmpty())
        return;
    int row = int(colors.indexOf(before[current.row()]));
    int column = int(colors.indexOf(before[current.column()]));
    if (row < 0 || column < 0) {
        row = std::min(current.row(), int(colors.size()) - 1);
        column = std::min(current.column(), int(colors.size()) - 1);
    }
    m_ui.grid->setCurrentIndex(m_model->index(row, column));
}

void ContrastTableWindow::setApplyAvailable(bool available)
{
    m_applyAvailable = available;
    showNote();
}

void ContrastTableWindow::showNote()
{
    QString note = m_applyAvailable ? kApplyHint : kApplyRefusal;
    if (!copyAvailable())
        note +=
            QStringLiteral("\n色が %1 を超えるため、表はコピーできません").arg(kMaxCopiedColors);
    m_ui.note->setText(note);
}

bool ContrastTableWindow::copyAvailable() const
{
    return m_model->colors().size() <= kMaxCopiedColors;
}

void ContrastTableWindow::copyAsTabSeparated() const
{
    if (copyAvailable())
        copyPlainText(tableAsTabSeparated(m_model->colors()));
}

void ContrastTableWindow::copyAsMarkdown() const
{
    if (copyAvailable())
        copyPlainText(tableAsMarkdown(m_model->colors()));
}

void ContrastTableWindow::applyCell(int row, int column)
{
    if (!m_applyAvailable || row == column || row < 0 || column < 0)
        return;
    emit pairChosen(m_model->colors()[row], m_model->colors()[column]);
}

bool ContrastTableWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui.grid && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const QModelIndex current = m_ui.grid->currentIndex();
            if (current.isValid())
                applyCell(current.row(), current.column());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tintara
