#!/usr/bin/env python3
"""Writes the built-in language files arabic.local and english.local.

The units below are the texts the program passes through its translation lookup,
in the order the files hold them, each with its context tag and Arabic translation.
The English file is the template translators start from: the same units without the
four calendar units, every target left empty.

The output is laid out exactly as the program's SML writer lays out a tree: UTF-8
with a byte-order mark, CR LF after every line, two spaces per level, and the lines
of a multi-line value aligned one column after the space that follows its "=".

Run from anywhere:  python3 src/local/langs/make_langs.py
"""

import os

CRLF = "\r\n"

# (context, source, Arabic target). A source or target of several lines holds CR LF
# between them, as the SML reader joins continuation lines.
UNITS = [
    ("", "Tarsel Archive", "أرشيف ترسل"),
    ("", "Archive", "الأرشيف"),
    ("", "My Archive", "أرشيفي"),
    ("", "Documents", "الوثائق"),
    ("", "Document", "وثيقة"),
    ("", "Archive", "أرشيف"),
    ("", "Persons", "الأشخاص"),
    ("", "Person", "شخص"),
    ("", "Subject", "موضوع"),
    ("", "Subjects", "المواضيع"),
    ("", "Section", "قسم"),
    ("", "Sections", "الأقسام"),
    ("", "Organization Name", "اسم المؤسسة"),
    ("", "Mail_Information", "معلومات البريد"),
    ("", "Other Information", "معلومات أخرى"),
    ("", "Document Images", "صور الوثيقة"),
    ("", "Document Files", "ملفات الوثيقة"),
    ("", "Assign Document Files", "إرفاق ملفات بالوثيقة"),
    ("", "Select Files", "اختيار الملفات"),
    ("", "More Commands", "أوامر أخرى"),
    ("", "Open", "فتح"),
    ("", "Open in Browser", "فتح في المتصفح"),
    ("", "View", "عرض"),
    ("", "Zoom In", "تكبير"),
    ("", "Zoom Out", "تصغير"),
    ("", "Add Section", "إضافة قسم"),
    ("", "Add Subject", "إضافة موضوع"),
    ("", "Add Document", "إضافة وثيقة"),
    ("", "Document Group", "مجموعة وثائق"),
    ("", "Add Documents Group", "إضافة مجموعة وثائق"),
    ("", "Document Branch", "فرع الوثائق"),
    ("", "Add Document Group", "إضافة مجموعة وثائق"),
    ("", "Add Person", "إضافة شخص"),
    ("", "Save Document's Images as TIFF File", "حفظ صور الوثيقة كملف TIFF"),
    ("", "Save Document's Images as PDF File", "حفظ صور الوثيقة كملف PDF"),
    ("", "Person Branch", "فرع الأشخاص"),
    ("", "Person Group ", "مجموعة أشخاص"),
    ("", "Add Person Group", "إضافة مجموعة أشخاص"),
    ("", "Title", "العنوان"),
    ("", "Document Name", "اسم الوثيقة"),
    ("", "Reference No.", "الرقم المرجعي"),
    ("", "Keywords", "الكلمات المفتاحية"),
    ("", "Physical Location", "مكان الحفظ"),
    ("", "Is Mail", "نوع البريد"),
    ("", "Internal", "داخلي"),
    ("", "External", "خارجي"),
    ("", "Document Date", "تاريخ الوثيقة"),
    ("", "Delivery_Date", "تاريخ التسليم"),
    ("", "B.c", "ق.م"),
    ("", "B.h", "ق.هـ"),
    ("", "Gregorian Date", "التاريخ الميلادي"),
    ("", "Hijri Date", "التاريخ الهجري"),
    ("", "From", "من"),
    ("", "To", "إلى"),
    ("", "Click to add files", "انقر لإضافة ملفات"),
    ("dialog", "OK", "موافق"),
    ("dialog", "&Cancel", "إل&غاء الأمر"),
    ("dialog", "&Close", "&غلق"),
    ("hint", "Close", "غلق"),
    ("dialog", "Confirm", "تأكيد"),
    ("", "File", "ملف"),
    ("", "Files", "الملفات"),
    ("", "&New Archive", "أرشيف &جديد"),
    ("", "&Open Archive", "&فتح أرشيف"),
    ("", "&Save", "&حفظ"),
    ("hint", "Save", "حفظ"),
    ("", "Save &As", "حفظ &باسم"),
    ("", "Don't Save", "عدم الحفظ"),
    ("", "Preferences", "التفضيلات"),
    ("", "Revert File", "استعادة الملف المحفوظ"),
    ("", "Close Archive", "غلق الأرشيف"),
    ("", "E&xit", "&خروج"),
    ("", "&Edit", "&تحرير"),
    ("", "&View", "&عرض"),
    ("", "Options", "الخيارات"),
    ("", "Update", "تحديث"),
    ("", "Delete", "حذف"),
    ("", "Remove", "إزالة"),
    ("", "Remove All Items", "إزالة جميع العناصر"),
    ("", "Copy", "نسخ"),
    ("", "Paste", "لصق"),
    ("", "Select", "تحديد"),
    ("", "Select All", "تحديد الكل"),
    ("", "&Browse", "&استعراض"),
    ("", "Show", "إظهار"),
    ("main_menu", "Print", "طباعة"),
    ("", "Properties", "الخصائص"),
    ("",
     "Do you want to save the changes" + CRLF
     + "you made to %s ?|Your changes will be lost if you don't save them.",
     "هل تريد حفظ التغييرات" + CRLF
     + "التي أجريتها على %s ؟|ستفقد تغييراتك إذا لم تقم بحفظها."),
    ("", "This new archive need to be saved first.| Please save the archive.",
     "يجب حفظ هذا الأرشيف الجديد أولاً.| الرجاء حفظ الأرشيف."),
    ("", "Can't remove Item.|This item has other items belong to it.",
     "لايمكن إزالة هذا العنصر.|توجد عناصر أخرى تابعة لهذا العنصر."),
    ("", "Do you want to remove this Item?", "هل تريد إزالة هذا العنصر؟"),
    ("", "File not Found", "الملف غير موجود"),
    ("", "Double click to open", "انقر نقراً مزدوجاً للفتح"),
    ("", "Number", "الرقم"),
    ("", "No.", "رقم"),
    ("", "Refresh", "تحديث العرض"),
    ("", "Add", "إضافة"),
    ("", "Note", "ملاحظة"),
    ("", "Notes", "ملاحظات"),
    ("section_form", "Section", "القسم"),
    ("", "Type", "النوع"),
    ("", "Section Type", "نوع القسم"),
    ("", "Sections", "أقسام"),
    ("", "New Person", "شخص جديد"),
    ("", "Male", "ذكر"),
    ("", "male", "مذكر"),
    ("", "Female", "أنثى"),
    ("", "female", "مؤنث"),
    ("", "Males", "الذكور"),
    ("", "Females", "الإناث"),
    ("", "Name", "الاسم"),
    ("", "Names", "الأسماء"),
    ("", "Person Name", "اسم الشخص"),
    ("", "Gender", "الجنس"),
    ("", "Last Modified", "آخر تعديل"),
    ("", "Text to find", "النص المراد البحث عنه"),
    ("", "Enter text to find", "أدخل النص المراد البحث عنه"),
    ("", "Search", "البحث"),
    ("", "Find", "بحث"),
    ("", "Find Next", "البحث عن التالي"),
    ("", "Next", "التالي"),
    ("", "Find in whole name", "البحث في الاسم كاملاً"),
    ("", "Find Result", "نتيجة البحث"),
    ("", "Search in titles only", "البحث في العناوين فقط"),
    ("start_page", "Creator", "المنشئ"),
    ("start_page", "File", "الملف"),
    ("", "Bookmark", "إشارة مرجعية"),
    ("", "Bookmarks", "الإشارات المرجعية"),
    ("", "Description", "الوصف"),
    ("main_menu", "Tools", "أدوات"),
    ("main_menu", "Short-cut Keys Guide", "دليل مفاتيح الاختصار"),
    ("main_menu", "About Tarsel Archive", "حول أرشيف ترسل"),
    ("about", "Version", "الإصدار"),
    ("create_new_tree", "Location", "الموقع"),
    ("create_new_tree", "File name", "اسم الملف"),
    ("properties", "Properties", "خصائص"),
    ("properties", "General", "عام"),
    ("general_search", "General Search", "بحث عام"),
    ("", "Date", "التاريخ"),
    ("", "Other Data", "بيانات أخرى"),
    ("", "Hide Other Data", "إخفاء البيانات الأخرى"),
    ("", "Language", "اللغة"),
    ("", "Default", "الإفتراضي"),
    ("", "Help", "مساعدة"),
    ("", "Printer Setup", "إعداد الطابعة"),
    ("", "Exclude Files", "استبعاد الملفات"),
    ("", "Do you want to Exclude this file?", "هل يتم استبعاد هذا الملف؟"),
    ("", "Do you want to Exclude these %d files?", "هل يتم استبعاد هذه الملفات ال %d؟"),
    ("", "Open last Archive on startup", "فتح آخر أرشيف عند بدء التشغيل"),
    ("", "Hide", "إخفاء"),
    ("", "Show More", "إظهار المزيد"),
    ("", "Find in", "البحث في"),
    ("", "Reload Archive from last saved copy and lose all changes?",
     "هل تريد إعادة تحميل الأرشيف من آخر نسخة محفوظة وفقدان جميع التغييرات؟"),
    ("",
     "The archive file has been modified by another program." + CRLF
     + "Do you want to reload it?",
     "تم تعديل ملف الأرشيف من قبل برنامج آخر." + CRLF
     + "هل يتم إعادة تحميل الملف؟"),
    ("", "Data Entry Basics", "أساسيات إدخال البيانات"),
    ("", "Adding\\ Editing Items", "إضافة العناصر وتحريرها"),
    ("", "Moving Items", "نقل العناصر"),
    ("", "Add individual and edit its name", "إضافة عنصر منفرد وتحرير اسمه"),
    ("",
     "To add and edit items; select the item in Tree" + CRLF
     + "and right click the mouse for a pop-up menu, then select a" + CRLF
     + "command.",
     "لإضافة العناصر وتحريرها؛ حدد العنصر في الشجرة" + CRLF
     + "وانقر بزر الفأرة الأيمن لإظهار القائمة المنبثقة، ثم اختر" + CRLF
     + "أمراً."),
    ("", "Or use Keyboard Short-cuts", "أو استخدم مفاتيح الاختصار"),
    ("", "Delete item", "حذف عنصر"),
    ("", "To reattach item", "لإلحاق عنصر بعنصر آخر"),
    ("",
     "By pressing the left button of the mouse; select item" + CRLF
     + "and drag it to the target item to be attached to; then drop.",
     "بالضغط على زر الفأرة الأيسر؛ حدد العنصر" + CRLF
     + "واسحبه إلى العنصر الذي سيلحق به؛ ثم أفلته."),
    ("", "Edit Item Name", "تحرير اسم العنصر"),
    ("", "Delete Item", "حذف العنصر"),
    ("", "Refresh", "تحديث العرض"),
    ("", "Item Properties", "خصائص العنصر"),
]

# Calendar units that only the Arabic file carries.
DATE_SOURCES = {"B.c", "B.h", "Gregorian Date", "Hijri Date"}


class Node:
    def __init__(self, name, value="", nil_value=False, empty_lines_after=0):
        self.name = name
        self.value = value
        self.nil_value = nil_value
        self.empty_lines_after = empty_lines_after
        self.nodes = []

    def add(self, *args, **kwargs):
        child = Node(*args, **kwargs)
        self.nodes.append(child)
        return child


def split_lines(text):
    return text.replace("\r\n", "\n").replace("\r", "\n").split("\n")


def write_node(node, lines, indent):
    text = node.name
    if text.strip() == ">":
        text = '"' + text + '"'
    if "=" in text:
        text = '"' + text + '"'
    line = " " * indent + text
    if node.value.strip():
        values = split_lines(node.value)
        if values and values[-1] == "":
            values.pop()
        line += " = " + values[0]
        lines.append(line)
        column = line.index("=") + 1
        for more in values[1:]:
            lines.append(" " * (column + 1) + more)
    else:
        if node.nil_value:
            line += " = "
        lines.append(line)
    lines.extend([""] * node.empty_lines_after)
    for child in node.nodes:
        if child.name != "":
            write_node(child, lines, indent + 2)


def build(target_lang, native_name, orientation, keyboard, author_note, with_targets):
    root = Node("sml", "version = 0.1; encoding = utf-8")
    local = root.add("localization")
    local.add("author_note", author_note)
    header = local.add("header")
    header.add("Project", "Tarsel Archive")
    header.add("source_lang", "English")
    lang = header.add("target_lang", target_lang)
    lang.add("native_name", native_name)
    lang.add("orientation", orientation)
    lang.add("Keyboard_Layout", keyboard, empty_lines_after=1)
    translations = local.add("translations")
    units = [u for u in UNITS if with_targets or u[1] not in DATE_SOURCES]
    for number, (context, source, target) in enumerate(units, 1):
        unit = translations.add("unit")
        if context:
            unit.add("context", context)
        unit.add("source", source)
        # A blank line between units; none after the last, which the reader would not keep.
        unit.add("target", target if with_targets else "", nil_value=True,
                 empty_lines_after=1 if number < len(units) else 0)
    lines = []
    write_node(root, lines, 0)
    return "\ufeff" + "".join(l + CRLF for l in lines)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    files = {
        "arabic.local": build("Arabic", "العربية", "rtl", "Arabic",
                              "Arabic translation of the Tarsel Archive user interface", True),
        "english.local": build("English", "English", "ltr", "English",
                               "Template for new translations: fill in every target", False),
    }
    for name, text in files.items():
        with open(os.path.join(here, name), "wb") as f:
            f.write(text.encode("utf-8"))
    print("arabic.local: %d units, english.local: %d units"
          % (len(UNITS), len([u for u in UNITS if u[1] not in DATE_SOURCES])))


if __name__ == "__main__":
    main()
