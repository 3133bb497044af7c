#pragma once

#include <QListWidget>

// The document panel's list of attached files: one entry per file, marked when the file
// cannot be found; always left to right; reordered with Ctrl+Up/Down or by dragging an
// entry within the list.
class TDoc_File_List : public QListWidget
{
    Q_OBJECT

public:
    explicit TDoc_File_List(QWidget *parent = nullptr);

    // The entry's marker: the file it names cannot be found.
    static bool Is_Missing(const QListWidgetItem *entry);
    static void Set_Missing(QListWidgetItem *entry, bool missing);

    // Moves the current entry one place up (-1) or down (+1); false at either end.
    bool Move_Current(int step);
    // Moves the entry at from onto the place of the entry at to (above it when moving up,
    // below it when moving down), keeping its marker; it becomes current and selected.
    void Move_Entry(int from, int to);

    // Colours of the entries
    static QColor Text_Color(bool missing, bool selected);

signals:
    void Reordered();
    void Delete_Pressed();
    // A mouse button went down on the list while an entry is current.
    void Entry_Pressed(int row);
    void Entry_Double_Clicked(int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void startDrag(Qt::DropActions actions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
