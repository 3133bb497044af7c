#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QComboBox;
class TVelCustomMemo;
class TVelPanel;

// The date picker: a small pop-up with year, month and day lists and a before-the-era box,
// bound to a date field, opening right under it and writing the accepted date back into it.
// A month or day of 0 means that part of the date is not given.
class Tfrm_Cal : public QWidget
{
    Q_OBJECT

public:
    explicit Tfrm_Cal(QWidget *parent = nullptr);

    // Binds the picker to a field and places it under the field, right edges aligned.
    void SetEdit_Control(TVelCustomMemo *entry);
    TVelCustomMemo *Edit_Control() const { return FEdit_Control; }
    // Loads a date text into the lists.
    void SetDate_Text(const QString &text);
    void SetDate(double date) { FDate = date; }

    // Results, readable after the picker closed: the accepted date as normalised text and
    // as a date number; empty and 0 after cancel.
    QString Res_Date_Text;
    int Res_Date_Number = 0;

    void Accept();
    void Cancel();

    QComboBox *Year_List() const { return cmb_Year; }
    QComboBox *Month_List() const { return cmb_Month; }
    QComboBox *Day_List() const { return cmb_Day; }
    QCheckBox *Before_Era() const { return chk_BC; }
    TVelPanel *Accept_Button() const { return SpeedButton1; }
    TVelPanel *Cancel_Button() const { return SpeedButton2; }

    // Days a month offers: 0 up to this count.
    static int Days_In_Month(int year, int month);

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void Rebuild_Lists(int year, int month);
    void Rebuild_Days(int year, int month);
    static void Fill(QComboBox *list, int from, int to);
    static int Number_Of(const QComboBox *list);

    TVelCustomMemo *FEdit_Control = nullptr;
    QString FDateText;
    double FDate = 0;
    bool Dont_Set_On_Show = false;
    QPoint FDrag_Offset;

    TVelPanel *SpeedButton1 = nullptr;
    TVelPanel *SpeedButton2 = nullptr;
    QCheckBox *chk_BC = nullptr;
    QComboBox *cmb_Year = nullptr;
    QComboBox *cmb_Month = nullptr;
    QComboBox *cmb_Day = nullptr;
};
