sml = version = 0.1; encoding = utf-8
  Archive = Rules
    Unit = First Unit
      Id = {U1}
    Unit = Top
      Id = {OLD}
      ID = {U2}
      Units
        Whatever = Sub A
          Id = {U3}
      Unit = Sub B
      Persons
        Anybody = Ali
          Id = {P1}
          Unit_Id = {ELSEWHERE}
      Person = Mona
      Documents = Folder
        Id = {F1}
        Documents = Nested
          Id = {F2}
      document = small letters
      Document = Letter
        Mail
          Internal = 2
          Date = 2017-01-01
        Mail
          Internal = x
          To = Office
        Digital Files
          b.jpg
          a.jpg
        Documents
          Other = Sub One
        Document = Sub Two
    Meta
      Items
        Anything = Letters
          Group = Mail
          Fields
            Sender
              Data Type = Text
              Values
                Ahmad
