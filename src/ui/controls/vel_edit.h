#pragma once
#include <QPlainTextEdit>
#include <QVariant>

#include "ui/controls/text_filters.h"

// Multi-line entry control for bilingual data entry: switches to right-to-left reading when
// the text begins with an Arabic or Hebrew letter (AutoBiDI), filters the text while typing
// (NoKashida, NoSpace, NumbersOnly), can refuse copy or paste, and converts its text.
class TVelCustomMemo : public QPlainTextEdit
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(QString PastedText READ PastedText)
    Q_PROPERTY(QString AsHTML READ AsHTML)
    Q_PROPERTY(int LineIndex READ LineIndex WRITE SetLineIndex)
    Q_PROPERTY(QString LastValue READ LastValue WRITE SetLastValue)
    Q_PROPERTY(Qt::Alignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(QString TagStr READ TagStr WRITE SetTagStr)
    Q_PROPERTY(QString DataSource READ DataSource WRITE SetDataSource)
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
    Q_PROPERTY(bool RightToLeft READ RightToLeft WRITE SetRightToLeft)
    Q_PROPERTY(bool AutoBiDI READ AutoBiDI WRITE SetAutoBiDI)
    Q_PROPERTY(QString LocalName READ LocalName)
    Q_PROPERTY(bool NoCopy READ NoCopy WRITE SetNoCopy)
    Q_PROPERTY(bool NoPaste READ NoPaste WRITE SetNoPaste)
    Q_PROPERTY(bool NoKashida READ NoKashida WRITE SetNoKashida)
    Q_PROPERTY(bool NoSpace READ NoSpace WRITE SetNoSpace)
    Q_PROPERTY(QString TextHint READ TextHint WRITE SetTextHint)
    Q_PROPERTY(bool WantReturns READ WantReturns WRITE SetWantReturns)

public:
    explicit TVelCustomMemo(QWidget *parent = nullptr);

    QString Text() const { return toPlainText(); }
    void SetText(const QString &value);
    QString PastedText() const { return FPastedText; }
    QString AsHTML();
    // Line of the caret (0-based); writing keeps the caret's column where the line allows.
    int LineIndex() const;
    void SetLineIndex(int value);
    QString LastValue() const { return FLastValue; }
    void SetLastValue(const QString &value) { FLastValue = value; }
    Qt::Alignment Alignment() const { return FAlignment; }
    void SetAlignment(Qt::Alignment value);
    QString TagStr() const { return FTagStr; }
    void SetTagStr(const QString &value) { FTagStr = value; }
    QString DataSource() const { return FDataSource; }
    void SetDataSource(const QString &value) { FDataSource = value; }
    QString DataField() const { return FDataField; }
    void SetDataField(const QString &value) { FDataField = value; }
    bool RightToLeft() const { return IsRightToLeft(); }
    // Switches reading order, alignment and scroll-bar side together and puts the caret at
    // the end of the text; nothing happens when the value is already set.
    void SetRightToLeft(bool value);
    bool IsRightToLeft() const;
    // Applies a layout direction and the matching reading order.
    void SetBiDiMode(Qt::LayoutDirection mode);
    bool AutoBiDI() const { return FAutoBiDI; }
    void SetAutoBiDI(bool value) { FAutoBiDI = value; }
    // English name of the language of the active keyboard layout.
    QString LocalName() const;
    bool NoCopy() const { return FNoCopy; }
    void SetNoCopy(bool value) { FNoCopy = value; }
    bool NoPaste() const { return FNoPaste; }
    void SetNoPaste(bool value) { FNoPaste = value; }
    bool NoKashida() const { return FFilter.NoKashida; }
    void SetNoKashida(bool value);
    bool NoSpace() const { return FFilter.NoSpace; }
    void SetNoSpace(bool value);
    QString TextHint() const { return placeholderText(); }
    void SetTextHint(const QString &value) { setPlaceholderText(value); }
    // Without returns, Enter is left to the window (its default button) and line breaks
    // never enter the text.
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool value) { FWantReturns = value; }
    bool AutoFocus() const { return FAutoFocus; }
    void SetAutoFocus(bool value) { FAutoFocus = value; }

    QString AsOneLine() const;
    const TText_Filter &Filter() const { return FFilter; }

    // The clipboard commands with their rules and events.
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void ClearSelection();
    void Undo();

signals:
    void OnChange();
    void OnMouseEnter();
    void OnMouseLeave();
    void OnMouseWheelDown();
    void OnMouseWheelUp();
    void OnPaste(const QString &text);
    void OnUndo();
    void OnCut();
    void OnClear();
    void OnBIDIChange();
    void OnVScrollChange(int position);

protected:
    bool NumbersOnly_Flag() const { return FFilter.NumbersOnly; }
    void Set_NumbersOnly_Flag(bool value);
    void Set_Max_Number(double value) { FFilter.MaxNumber = value; }
    void Set_Min_Number(double value) { FFilter.MinNumber = value; }
    // Runs the filter over the current text, keeping the caret where it was.
    void Apply_Filter();

    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void Text_Changed();
    void Apply_Direction(bool rtl);
    void Apply_Text_Option();

    QString FTagStr;
    Qt::Alignment FAlignment = Qt::AlignLeft;
    QString FDataField;
    QString FDataSource;
    QString FPastedText;
    bool FRightToLeft = false;
    bool FNoCopy = false;
    bool FNoPaste = false;
    QString FAsHTML;
    TText_Filter FFilter;
    bool FAutoBiDI = true;
    bool FAutoFocus = false;
    bool FWantReturns = true;
    QString FLastValue;
    bool FFiltering = false;
};

// Single-line entry control with numeric limits and a value.
class TVelCustomEdit : public TVelCustomMemo
{
    Q_OBJECT
    Q_PROPERTY(QString AsSQLValue READ AsSQLValue)
    Q_PROPERTY(bool NumbersOnly READ NumbersOnly WRITE SetNumbersOnly)
    Q_PROPERTY(double MaxNumber READ MaxNumber WRITE SetMaxNumber)
    Q_PROPERTY(double MinNumber READ MinNumber WRITE SetMinNumber)
    Q_PROPERTY(qint64 AsInteger READ AsInteger WRITE SetAsInteger)
    Q_PROPERTY(QVariant Value READ Value WRITE SetValue)

public:
    explicit TVelCustomEdit(QWidget *parent = nullptr);

    // With NumbersOnly the text itself, otherwise the text as an SQL string expression.
    QString AsSQLValue();
    bool NumbersOnly() const { return NumbersOnly_Flag(); }
    void SetNumbersOnly(bool value) { Set_NumbersOnly_Flag(value); }
    double MaxNumber() const { return Filter().MaxNumber; }
    void SetMaxNumber(double value) { Set_Max_Number(value); }
    double MinNumber() const { return Filter().MinNumber; }
    void SetMinNumber(double value) { Set_Min_Number(value); }
    // The trimmed text as a number rounded to the nearest integer, halves to even; 0 when
    // it is not a number. Writing works only with NumbersOnly.
    qint64 AsInteger() const;
    void SetAsInteger(qint64 value);
    QVariant Value();
    void SetValue(const QVariant &value);
    // Fits the width to the text plus two blanks.
    void AdjustWidth();

    QSize sizeHint() const override;

protected:
    void insertFromMimeData(const QMimeData *source) override;

private:
    QVariant FValue;
    QString FAsSQLValue;
};

// The published single-line entry control.
class TVelEdit : public TVelCustomEdit
{
    Q_OBJECT

public:
    explicit TVelEdit(QWidget *parent = nullptr);
};
