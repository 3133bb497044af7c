sml = version = 0.1; encoding = utf-8
  Archive = Archive
    Unit = My Archive
      Id = {6F9619FF-8B86-D011-B42D-00C04FC964FF}
      Document = Document
        Id = {3F2504E0-4F89-11D3-9A0C-0305E82C3301}
        Mail
          Internal = 1
          Date = 2017-03-05
        Digital Files
          2017-03-13\scan1.jpg
      Persons
        Person = Sara Haddad
          Id = {A1B2C3D4-0000-1111-2222-333344445555}
          Unit_Id = {6F9619FF-8B86-D011-B42D-00C04FC964FF}
    Meta
      Items
