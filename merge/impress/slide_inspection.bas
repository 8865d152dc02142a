REM Reads what the insertion check needs of a deck. Runs inside the engine: read over the
REM bridge, a slide's text takes a round trip per paragraph and portion, and the engine answers
REM each one only between the slide sorter's repaints.
Option Explicit

REM The text of slide `index`: its shapes' texts joined by U+001F, paragraphs by a line feed,
REM each field (slide number, date, time, file name, author) as U+FFFC in place of what it
REM renders, which changes wherever the slide goes. Returns Array(failure, text); failure is
REM "" when done: a runtime error must not stop at a dialog that a headless engine cannot show.
Function SlideText(doc As Object, index As Long) As Variant
	On Error GoTo Failed
	Dim slide As Object, text As String, i As Long
	slide = doc.DrawPages.getByIndex(index)
	For i = 0 To slide.Count - 1
		If i > 0 Then text = text & Chr(31)
		text = text & ShapeText(slide.getByIndex(i))
	Next i
	SlideText = Array("", text)
	Exit Function
Failed:
	SlideText = Array("error " & Err & " at line " & Erl & ": " & Error$, "")
End Function

Function ShapeText(shape As Object) As String
	Dim paragraphs As Object, paragraph As Object, portions As Object, portion As Object
	Dim text As String, first As Boolean
	If Not HasUnoInterfaces(shape, "com.sun.star.text.XText", "com.sun.star.container.XEnumerationAccess") Then Exit Function
	paragraphs = shape.createEnumeration()
	first = True
	Do While paragraphs.hasMoreElements()
		If Not first Then text = text & Chr(10)
		first = False
		paragraph = paragraphs.nextElement()
		portions = paragraph.createEnumeration()
		Do While portions.hasMoreElements()
			portion = portions.nextElement()
			If portion.TextPortionType = "TextField" Then
				text = text & Chr(65532)
			Else
				text = text & portion.getString()
			End If
		Loop
	Loop
	ShapeText = text
End Function

REM The indexes of the slides that hide their master's shapes ("hide background graphics"), as
REM a line of numbers each followed by a space. Returns Array(failure, indexes).
Function SlidesHidingMasterShapes(doc As Object) As Variant
	On Error GoTo Failed
	Dim i As Long, hiding As String
	For i = 0 To doc.DrawPages.Count - 1
		If Not doc.DrawPages.getByIndex(i).IsBackgroundObjectsVisible Then hiding = hiding & i & " "
	Next i
	SlidesHidingMasterShapes = Array("", hiding)
	Exit Function
Failed:
	SlidesHidingMasterShapes = Array("error " & Err & " at line " & Erl & ": " & Error$, "")
End Function
