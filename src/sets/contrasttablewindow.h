#pragma once

#include "color/rgb.h"

#include <QList>
#include <QWidget>

class QAction;
class QLabel;
class QPushButton;
class QTableView;

namespace tintara {

class ContrastTableModel;

struct ContrastTableUi
{
    QTableView* grid = nullptr;
    QLabel* note = nullptr; // how to apply a pair, or why it cannot be applied
    QPushButton* copyTable = nullptr;
    QPushButton* copyMarkdown = nullptr;
    QAction* copyTableAction = nullptr;
    QAction* copyMarkdownAction = nullptr;
};

// The contrast of every pair of a palette, a text colour a row and a background colour a column,
// in a window of its own that stays open beside its owner. Each cell is the ratio written in the
// row's colour on the column's colour, over a strip that gives the verdicts in the window's own
// colours, so they can be read whatever the pair.
class ContrastTableWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ContrastTableWindow(QWidget* owner);
    ~ContrastTableWindow() override;

    const ContrastTableUi& ui() const { return m_ui; }
    const QList<Rgb>& colors() const;

    // The current cell stays on its pair when both colours are still listed, and otherwise on
    // the same row and column, as far as the table still reaches.
    void setColors(const QList<Rgb>& colors);

    // While applying is unavailable, Enter and a double click on a cell do nothing, and the
    // window says why.
    void setApplyAvailable(bool available);
    bool applyAvailable() const { return m_applyAvailable; }

    // Copying the table, as tab-separated text or as Markdown, is unavailable for a table too
    // large to hold as text; the window then says so.
    bool copyAvailable() const;
    void copyAsTabSeparated() const;
    void copyAsMarkdown() const;

signals:
    // Asks the owner to make the cell's pair the current colours.
    void pairChosen(tintara::Rgb text, tintara::Rgb background);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyCell(int row, int column);
    void showNote();

    ContrastTableUi m_ui;
    ContrastTableModel* m_model = nullptr;
    bool m_applyAvailable = true;
};

} // namespace tintara
