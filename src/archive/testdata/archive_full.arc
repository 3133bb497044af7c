sml = version = 0.1; encoding = utf-8
  Archive = Office Archive
    Document = Circular
      Id = {00000000-0000-0000-0000-000000000001}
      Keywords = policy
    Documents = Archive Folder
      Document = Folder Doc
        Id = {00000000-0000-0000-0000-000000000002}
      Subject = Folder Subject
        Id = {00000000-0000-0000-0000-000000000003}
        Subject = Sub Subject
          Id = {00000000-0000-0000-0000-000000000004}
        Document = Subject Doc
          Id = {00000000-0000-0000-0000-000000000005}
      Documents = Inner Folder
    Unit = My Archive
      Id = {00000000-0000-0000-0000-000000000010}
      Type = Ministry
      Document = Unit Doc
        Id = {00000000-0000-0000-0000-000000000011}
        Type = Letter
        Reference = 12/A
        Physical Location = Cabinet 3
        Description = First line
                      Second line
        Keywords = budget; 2017
        Mail
          Internal = 2
          Date = 2017-03-05
          From = Finance
          To = Planning
          Delivery date = 2017-00-00
        Location = Shelf 2
        Digital Files
          2017-03-13\scan1.jpg
          2017-03-13\scan2.jpg
        Documents
          Document = Attachment
            Id = {00000000-0000-0000-0000-000000000012}
      Documents = Unit Folder
        Document = Unit Folder Doc
          Id = {00000000-0000-0000-0000-000000000013}
      Documents = Documents
        Document = Own Doc
          Id = {00000000-0000-0000-0000-000000000014}
        Subject = Own Subject
          Id = {00000000-0000-0000-0000-000000000015}
      Persons
        Person = أحمد
          Id = {00000000-0000-0000-0000-000000000020}
          No = 7
          Unit_Id = {00000000-0000-0000-0000-000000000010}
          Document = Person Doc
            Id = {00000000-0000-0000-0000-000000000021}
          Subject = Person Subject
            Id = {00000000-0000-0000-0000-000000000022}
          Documents = Person Folder
      Units
        Unit = Section
          Id = {00000000-0000-0000-0000-000000000030}
    Meta
      Items
        Item = Letters
          Group = Mail
          Fields
            Sender
              Data Type = Text
              Values
                Ahmad
                Sara
            Count
              Data Type = Integer
        Item = Empty
          Group
          Fields
