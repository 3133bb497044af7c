#include "ui/controls/vel_edit.h"

#include "local/tkeyboardlayout.h"
#include "local/xkb/xkb_keyboard_backend.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>

#include <cmath>

namespace {
QString Without_Line_Breaks(const QString &text)
{
    QString out = text;
    out.remove(QLatin1Char('\r')).remove(QLatin1Char('\n')).remove(QChar(QChar::ParagraphSeparator));
    return out;
}

// A single-line control takes a pasted text up to its first line break.
QString First_Line(const QString &text)
{
    qsizetype end = text.size();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(QChar::ParagraphSeparator)) {
            end = i;
            break;
        }
    }
    return text.left(end);
}
} // namespace

TVelCustomMemo::TVelCustomMemo(QWidget *parent)
    : QPlainTextEdit(parent)
{
    FRightToLeft = layoutDirection() == Qt::RightToLeft;
    Apply_Text_Option();
    connect(this, &QPlainTextEdit::textChanged, this, &TVelCustomMemo::Text_Changed);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TVelCustomMemo::OnVScrollChange);
}

void TVelCustomMemo::SetText(const QString &value)
{
    setPlainText(FWantReturns ? value : Without_Line_Breaks(value));
}

QString TVelCustomMemo::AsHTML()
{
    FAsHTML = HTML_Paragraphs(toPlainText());
    return FAsHTML;
}

int TVelCustomMemo::LineIndex() const
{
    return textCursor().blockNumber();
}

void TVelCustomMemo::SetLineIndex(int value)
{
    QTextCursor cursor = textCursor();
    const int column = cursor.positionInBlock();
    const QTextBlock block = document()->findBlockByNumber(std::clamp(value, 0, document()->blockCount() - 1));
    cursor.setPosition(block.position() + std::min(column, block.length() - 1));
    setTextCursor(cursor);
}

void TVelCustomMemo::SetAlignment(Qt::Alignment value)
{
    FAlignment = value & Qt::AlignHorizontal_Mask;
    Apply_Text_Option();
}

bool TVelCustomMemo::IsRightToLeft() const
{
    return layoutDirection() == Qt::RightToLeft;
}

void TVelCustomMemo::SetRightToLeft(bool value)
{
    if (value == FRightToLeft)
        return;
    // the layout direction carries alignment, reading order and scroll-bar side together
    setLayoutDirection(value ? Qt::RightToLeft : Qt::LeftToRight);
    FRightToLeft = value;
    Apply_Text_Option();
    moveCursor(QTextCursor::End);
}

void TVelCustomMemo::SetBiDiMode(Qt::LayoutDirection mode)
{
    setLayoutDirection(mode);
    SetRightToLeft(mode == Qt::RightToLeft);
}

QString TVelCustomMemo::LocalName() const
{
    TKeyboardLayout layout(Create_Keyboard_Backend());
    return layout.EnglishName();
}

void TVelCustomMemo::SetNoKashida(bool value)
{
    FFilter.NoKashida = value;
    if (value)
        Apply_Filter();
}

void TVelCustomMemo::SetNoSpace(bool value)
{
    FFilter.NoSpace = value;
    if (value)
        Apply_Filter();
}

void TVelCustomMemo::Set_NumbersOnly_Flag(bool value)
{
    FFilter.NumbersOnly = value;
    if (value)
        Apply_Filter();
}

QString TVelCustomMemo::AsOneLine() const
{
    return One_Line(toPlainText());
}

void TVelCustomMemo::Apply_Filter()
{
    if (!FFilter.Active())
        return;
    const QString text = toPlainText();
    const QString filtered = Filtered_Text(text, FFilter);
    if (filtered == text)
        return;
    const int position = textCursor().position();
    FFiltering = true;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(filtered);
    cursor.endEditBlock();
    cursor.setPosition(std::min<int>(position, int(filtered.size())));
    setTextCursor(cursor);
    FFiltering = false;
}

void TVelCustomMemo::Text_Changed()
{
    if (FFiltering)
        return;
    if (FAutoBiDI && !document()->isEmpty())
        SetRightToLeft(Begins_Right_To_Left(toPlainText()));
    Apply_Filter();
    emit OnChange();
}

void TVelCustomMemo::Apply_Text_Option()
{
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(layoutDirection());
    // the text layout takes alignments as absolute: mirror them for right-to-left
    Qt::Alignment h = FAlignment;
    if (layoutDirection() == Qt::RightToLeft) {
        if (h & Qt::AlignRight)
            h = Qt::AlignLeft;
        else if (!(h & Qt::AlignHCenter))
            h = Qt::AlignRight;
    }
    option.setAlignment(h | Qt::AlignAbsolute);
    document()->setDefaultTextOption(option);
    viewport()->update();
}

void TVelCustomMemo::CopyToClipboard()
{
    if (FNoCopy) {
        QGuiApplication::clipboard()->clear();
        return;
    }
    copy();
}

void TVelCustomMemo::CutToClipboard()
{
    if (isReadOnly())
        return;
    // with NoCopy the selection still goes, the clipboard is only emptied
    cut();
    emit OnCut();
}

void TVelCustomMemo::PasteFromClipboard()
{
    paste();
}

void TVelCustomMemo::ClearSelection()
{
    if (isReadOnly())
        return;
    textCursor().removeSelectedText();
    emit OnClear();
}

void TVelCustomMemo::Undo()
{
    undo();
    emit OnUndo();
}

QMimeData *TVelCustomMemo::createMimeDataFromSelection() const
{
    if (FNoCopy)
        return new QMimeData;
    return QPlainTextEdit::createMimeDataFromSelection();
}

bool TVelCustomMemo::canInsertFromMimeData(const QMimeData *source) const
{
    return !FNoPaste && QPlainTextEdit::canInsertFromMimeData(source);
}

void TVelCustomMemo::insertFromMimeData(const QMimeData *source)
{
    if (FNoPaste || isReadOnly() || !source || !source->hasText())
        return;
    QString text = source->text();
    if (!FWantReturns)
        text = First_Line(text);
    textCursor().insertText(text);
    ensureCursorVisible();
    FPastedText = text;
    emit OnPaste(text);
}

void TVelCustomMemo::keyPressEvent(QKeyEvent *event)
{
    if (!FWantReturns && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // left to the window, whose default button may take it
        event->ignore();
        return;
    }
    if (event == QKeySequence::Copy) {
        CopyToClipboard();
    } else if (event == QKeySequence::Cut) {
        CutToClipboard();
    } else if (event == QKeySequence::Paste) {
        PasteFromClipboard();
    } else if (event == QKeySequence::Undo) {
        if (isReadOnly()) {
            event->ignore();
            return;
        }
        Undo();
    } else {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TVelCustomMemo::contextMenuEvent(QContextMenuEvent *event)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    // the menu's editing commands go through the same rules and events as the keys
    const std::pair<const char *, void (TVelCustomMemo::*)()> commands[] = {
        {"edit-undo", &TVelCustomMemo::Undo},
        {"edit-cut", &TVelCustomMemo::CutToClipboard},
        {"edit-copy", &TVelCustomMemo::CopyToClipboard},
        {"edit-paste", &TVelCustomMemo::PasteFromClipboard},
        {"edit-delete", &TVelCustomMemo::ClearSelection},
    };
    for (QAction *action : menu->actions()) {
        for (const auto &[name, slot] : commands) {
            if (action->objectName() == QLatin1String(name)) {
                disconnect(action, &QAction::triggered, nullptr, nullptr);
                connect(action, &QAction::triggered, this, slot);
            }
        }
        if (action->objectName() == QLatin1String("edit-paste") && FNoPaste)
            action->setEnabled(false);
    }
    menu->exec(event->globalPos());
}

void TVelCustomMemo::changeEvent(QEvent *event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::LayoutDirectionChange) {
        FRightToLeft = layoutDirection() == Qt::RightToLeft;
        Apply_Text_Option();
        emit OnBIDIChange();
    }
}

void TVelCustomMemo::enterEvent(QEnterEvent *event)
{
    emit OnMouseEnter();
    QPlainTextEdit::enterEvent(event);
}

void TVelCustomMemo::leaveEvent(QEvent *event)
{
    emit OnMouseLeave();
    QPlainTextEdit::leaveEvent(event);
}

void TVelCustomMemo::wheelEvent(QWheelEvent *event)
{
    if (event->angleDelta().y() < 0)
        emit OnMouseWheelDown();
    else if (event->angleDelta().y() > 0)
        emit OnMouseWheelUp();
    QPlainTextEdit::wheelEvent(event);
}

TVelCustomEdit::TVelCustomEdit(QWidget *parent)
    : TVelCustomMemo(parent)
{
    SetWantReturns(false);
    setTabChangesFocus(true);
    setFocusPolicy(Qt::StrongFocus);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(2);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    resize(121, std::max(25, sizeHint().height()));
}

QSize TVelCustomEdit::sizeHint() const
{
    const int frame = 2 * frameWidth();
    const int margin = 2 * int(document()->documentMargin());
    return QSize(121, std::max(25, fontMetrics().lineSpacing() + frame + margin + 2));
}

QString TVelCustomEdit::AsSQLValue()
{
    FAsSQLValue = NumbersOnly() ? Text() : SQL_String_Expression(Text());
    return FAsSQLValue;
}

qint64 TVelCustomEdit::AsInteger() const
{
    bool ok = false;
    const double value = Text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return 0;
    constexpr double limit = 9.2e18;
    // nearbyint rounds in the current mode, which is to nearest with halves to even
    return qint64(std::nearbyint(std::clamp(value, -limit, limit)));
}

void TVelCustomEdit::SetAsInteger(qint64 value)
{
    if (NumbersOnly())
        SetText(QString::number(value));
}

QVariant TVelCustomEdit::Value()
{
    FValue = QVariant(Text());
    return FValue;
}

void TVelCustomEdit::SetValue(const QVariant &value)
{
    FValue = value;
    SetText(value.toString());
}

void TVelCustomEdit::AdjustWidth()
{
    const QFontMetrics fm = fontMetrics();
    const int w = fm.horizontalAdvance(Text()) + fm.horizontalAdvance(QStringLiteral("  "));
    if (w > 10) {
        // the frame and the document margins are room the text never uses
        resize(w + 2 * frameWidth() + 2 * int(document()->documentMargin()), height());
    }
}

void TVelCustomEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText()) {
        TVelCustomMemo::insertFromMimeData(source);
        return;
    }
    QMimeData line;
    line.setText(First_Line(source->text()));
    TVelCustomMemo::insertFromMimeData(&line);
}

TVelEdit::TVelEdit(QWidget *parent)
    : TVelCustomEdit(parent)
{
}
