sml = version = 0.1; encoding = utf-8
  Archive = Sample Archive
    Document = About this sample
      Id = {7A51C0DE-2024-4512-8000-000000000001}
      Type = Note
      Description = A small archive of an office's correspondence.
                    Its attached files are in the folder "documents" beside it.
    Unit = Al-Noor Trading Company
      Id = {7A51C0DE-2024-4512-8000-000000000900}
      Type = Company
      Document = Office lease contract
        Id = {7A51C0DE-2024-4512-8000-000000000002}
        Type = Contract
        Reference = LC-2024-004
        Physical Location = Cabinet 1, shelf 2
        Keywords = lease office rent
        Mail
          Internal = 2
          Date = 2024-05-10
          From = Al-Rawda Real Estate
          To = Al-Noor Trading Company
          Delivery date = 2024-05-12
        Digital Files
          2024-05-12\office_lease_contract.pdf
        Documents
          Document = Annex A: floor plan
            Id = {7A51C0DE-2024-4512-8000-000000000003}
            Type = Annex
            Digital Files
              2024-05-12\floor_plan.png
          Document = إشعار تجديد العقد
            Id = {7A51C0DE-2024-4512-8000-000000000004}
            Type = إشعار
            Description = إشعار بمواعيد تجديد عقد الإيجار.
            Mail
              Internal = 2
              Date = 2024-05-15
              From = Al-Rawda Real Estate
              To = الإدارة العامة
      Documents = Correspondence 2024
        Documents = Incoming
          Document = Price offer from Gulf Supplies
            Id = {7A51C0DE-2024-4512-8000-000000000006}
            Type = Letter
            Reference = GS/2024/233
            Keywords = furniture offer
            Mail
              Internal = 2
              Date = 2024-05-02
              From = Gulf Supplies Ltd.
              To = Purchasing
              Delivery date = 2024-05-05
            Digital Files
              2024-05-12\gulf_supplies_offer.jpg
          Subject = Tenders
            Id = {7A51C0DE-2024-4512-8000-000000000007}
            Document = Cleaning services tender
              Id = {7A51C0DE-2024-4512-8000-000000000008}
              Type = Tender
              Mail
                Internal = 2
                Date = 2024-04-20
                From = City Cleaning Co.
                To = Administration
        Documents = الصادر
          Document = رد على عرض الأسعار
            Id = {7A51C0DE-2024-4512-8000-000000000009}
            Type = خطاب
            Reference = ص/2024/118
            Mail
              Internal = 2
              Date = 2024-05-08
              From = المشتريات
              To = Gulf Supplies Ltd.
              Delivery date = 2024-05-09
      Documents = Documents
        Document = Commercial registration certificate
          Id = {7A51C0DE-2024-4512-8000-000000000005}
          Type = Certificate
          Reference = CR 1010-455-782
          Physical Location = Safe
      Units
        Unit = Accounts Department
          Id = {7A51C0DE-2024-4512-8000-000000000010}
          Type = Department
          Document = Invoice INV-2024-0117
            Id = {7A51C0DE-2024-4512-8000-000000000013}
            Type = Invoice
            Reference = INV-2024-0117
            Mail
              Internal = 2
              Date = 2024-05-06
              From = Gulf Supplies Ltd.
              To = Accounts Department
              Delivery date = 2024-05-12
            Digital Files
              2024-05-12\invoice_INV-2024-0117.tif
          Persons
            Person = John Carter
              Id = {7A51C0DE-2024-4512-8000-000000000014}
              No = E-201
              Unit_Id = {7A51C0DE-2024-4512-8000-000000000010}
              Document = Travel expense claim, April
                Id = {7A51C0DE-2024-4512-8000-000000000015}
                Type = Claim
                Mail
                  Internal = 1
                  Date = 2024-05-03
                  From = John Carter
                  To = Accounts Department
                  Delivery date = 2024-05-03
        Unit = قسم الموارد البشرية
          Id = {7A51C0DE-2024-4512-8000-000000000011}
          Type = قسم
          Persons
            Person = سارة محمود
              Id = {7A51C0DE-2024-4512-8000-000000000016}
              No = E-104
              Unit_Id = {7A51C0DE-2024-4512-8000-000000000011}
              Document = خطاب تعيين
                Id = {7A51C0DE-2024-4512-8000-000000000017}
                Type = خطاب
                Reference = م.ب/2024/57
                Keywords = تعيين موظفة
                Mail
                  Internal = 1
                  Date = 2024-05-12
                  From = مدير الموارد البشرية
                  To = سارة محمود
                  Delivery date = 2024-05-12
                Digital Files
                  2024-05-12\appointment_letter.png
              Subject = الإجازات
                Id = {7A51C0DE-2024-4512-8000-000000000018}
                Document = طلب إجازة سنوية
                  Id = {7A51C0DE-2024-4512-8000-000000000019}
                  Type = طلب
                  Mail
                    Internal = 1
                    Date = 2024-07-01
                    From = سارة محمود
                    To = قسم الموارد البشرية
                    Delivery date = 2024-07-02
                  Documents
                    Document = موافقة على الإجازة
                      Id = {7A51C0DE-2024-4512-8000-000000000020}
                      Mail
                        Internal = 1
                        Date = 2024-07-03
                        From = مدير الموارد البشرية
                        To = سارة محمود
          Units
            Unit = وحدة التوظيف
              Id = {7A51C0DE-2024-4512-8000-000000000012}
              Type = وحدة
              Persons
                Person = عمر خالد
                  Id = {7A51C0DE-2024-4512-8000-000000000021}
                  No = E-117
                  Unit_Id = {7A51C0DE-2024-4512-8000-000000000012}
                  Documents = Job applications
                    Document = Application: accountant
                      Id = {7A51C0DE-2024-4512-8000-000000000022}
                      Type = Application
    Meta
      Items
