<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>lunetta::AboutDialog</name>
    <message>
        <source>Lunettaのﾊﾞｰｼﾞｮﾝ情報</source>
        <translation>About Lunetta</translation>
    </message>
    <message>
        <source>説明書 : </source>
        <translation>Read me: </translation>
    </message>
    <message>
        <source>ライセンス : </source>
        <translation>Licence: </translation>
    </message>
</context>
<context>
    <name>lunetta::CalendarFilesBox</name>
    <message>
        <source>西暦（2026年12月）</source>
        <translation>Gregorian (2026 / December)</translation>
    </message>
    <message>
        <source>和暦（令和8年 12月）</source>
        <translation>Japanese era (令和8年 12月)</translation>
    </message>
    <message>
        <source>西暦と和暦（2026年（令和8年）12月）</source>
        <translation>Both (2026年（令和8年）12月)</translation>
    </message>
    <message>
        <source>カレンダーファイルと和暦</source>
        <translation>Calendar files and era</translation>
    </message>
    <message>
        <source>祝日を追加…</source>
        <translation>Add holidays…</translation>
    </message>
    <message>
        <source>記念日を追加…</source>
        <translation>Add my days…</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>記念日の色</source>
        <translation>Day colour</translation>
    </message>
    <message>
        <source>カレンダーファイルを開く</source>
        <translation>Open a calendar file</translation>
    </message>
    <message>
        <source>iCalendar ファイル (*.ics);;すべてのファイル (*)</source>
        <translation>iCalendar files (*.ics);;All files (*)</translation>
    </message>
    <message>
        <source>祝日のファイルの日は日曜と同じ赤で、記念日のファイルの日（誕生日、家族や学校の予定）は記念日の色の枠で示します。</source>
        <translation>Days of a holiday file are drawn red like Sundays; days of your own files (birthdays, family and school days) are ringed in the day colour.</translation>
    </message>
    <message>
        <source>ほかの国の祝日などの iCalendar ファイル（.ics）を加えます。その日は赤で表示します。</source>
        <translation>Adds an iCalendar file (.ics) of holidays, such as another country&apos;s; its days are drawn red.</translation>
    </message>
    <message>
        <source>誕生日や家族、学校の予定の iCalendar ファイル（.ics）を加えます。</source>
        <translation>Adds an iCalendar file (.ics) of birthdays, family or school days.</translation>
    </message>
    <message>
        <source>選んだカレンダーファイルを外します。</source>
        <translation>Removes the selected calendar file.</translation>
    </message>
    <message>
        <source>記念日を囲む枠の色を選びます。背景色の上で見にくい色は濃さを変えて使います。</source>
        <translation>Chooses the colour of the ring around your days; a colour hard to see on the background is made darker or lighter.</translation>
    </message>
    <message>
        <source>カレンダーのタイトルの年の表し方を選びます。</source>
        <translation>Chooses how the calendar&apos;s title counts the year.</translation>
    </message>
    <message>
        <source>祝日&#x3000;%1</source>
        <translation>Holidays: %1</translation>
    </message>
    <message>
        <source>記念日&#x3000;%1</source>
        <translation>My days: %1</translation>
    </message>
</context>
<context>
    <name>lunetta::DesktopPicture</name>
    <message>
        <source>保存エラー</source>
        <translation>Save Error</translation>
    </message>
    <message>
        <source>画像を保存できませんでした。

%1</source>
        <translation>The picture could not be saved.

%1</translation>
    </message>
    <message>
        <source>上書きの確認</source>
        <translation>Replace?</translation>
    </message>
    <message>
        <source>「%1」はカレンダーに使っている写真です。写真を上書きしないよう、保存しませんでした。別の名前を選んで下さい。</source>
        <translation>&quot;%1&quot; is a photo the calendar uses. Nothing was saved, so that the photo is not written over. Please choose another name.</translation>
    </message>
    <message>
        <source>「%1」はすでにあります。置き換えますか？</source>
        <translation>&quot;%1&quot; already exists. Do you want to replace it?</translation>
    </message>
    <message>
        <source>%1 には同じ名前のファイルが %2 個あります：%3
置き換えますか？</source>
        <translation>%1 already holds %2 files of these names: %3
Do you want to replace them?</translation>
    </message>
    <message>
        <source>、</source>
        <comment>between file names</comment>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>lunetta::FailureMessages</name>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>ファイルが指定されていません</source>
        <translation>No file is named</translation>
    </message>
    <message>
        <source>ファイルが見つかりません</source>
        <translation>The file does not exist</translation>
    </message>
    <message>
        <source>ファイルではなくフォルダーです</source>
        <translation>This is a folder, not a file</translation>
    </message>
    <message>
        <source>通常のファイルではありません</source>
        <translation>This is not a regular file</translation>
    </message>
    <message>
        <source>読み取る権限がありません</source>
        <translation>You have no permission to read it</translation>
    </message>
    <message>
        <source>開けません</source>
        <translation>It cannot be opened</translation>
    </message>
    <message>
        <source>ファイルが空です</source>
        <translation>The file is empty</translation>
    </message>
    <message>
        <source>対応している形式の画像ではありません</source>
        <translation>This is not a picture in a supported format</translation>
    </message>
    <message>
        <source>画像のヘッダーを読み取れません</source>
        <translation>The picture&apos;s header cannot be read</translation>
    </message>
    <message>
        <source>画像を読み込めません</source>
        <translation>The picture cannot be decoded</translation>
    </message>
    <message>
        <source>ファイルが途中で切れています</source>
        <translation>The file is cut short</translation>
    </message>
    <message>
        <source>ファイル名に拡張子がありません。「.jpg」などの拡張子を付けてください。</source>
        <translation>The file name has no extension. Add one such as “.jpg”.</translation>
    </message>
    <message>
        <source>拡張子「.%1」の画像形式では保存できません。</source>
        <translation>Pictures cannot be saved in the “.%1” format.</translation>
    </message>
    <message>
        <source>保存する画像がありません</source>
        <translation>There is no picture to save</translation>
    </message>
    <message>
        <source>画像を書き出せません</source>
        <translation>The picture cannot be encoded</translation>
    </message>
    <message>
        <source>書き込めません</source>
        <translation>It cannot be written</translation>
    </message>
    <message>
        <source>プリンタを開始できませんでした。</source>
        <translation>The printer could not be started.</translation>
    </message>
    <message>
        <source>このデスクトップ（%1）の壁紙は自動では設定できません。保存した画像を壁紙に選んでください。</source>
        <translation>Lunetta cannot set the wallpaper of this desktop (%1). Save the picture and choose it as your wallpaper.</translation>
    </message>
    <message>
        <source>不明</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>プログラムが見つかりません</source>
        <translation>The program was not found</translation>
    </message>
    <message>
        <source>プログラムが失敗しました</source>
        <translation>The program failed</translation>
    </message>
    <message>
        <source>プログラムが時間内に終わりませんでした</source>
        <translation>The program did not finish in time</translation>
    </message>
    <message>
        <source>変更できる壁紙の設定がありません</source>
        <translation>There is no wallpaper setting to change</translation>
    </message>
    <message>
        <source>フォルダーに写真がありません</source>
        <translation>The folder holds no photos</translation>
    </message>
    <message>
        <source>写真「%1」を使えません：%2</source>
        <translation>Cannot use the photo “%1”: %2</translation>
    </message>
    <message>
        <source>祝日ファイル holiday.dat が見つからないため、%1 年の祝日を表示できません</source>
        <translation>No holidays shown for %1: the holiday file holiday.dat was not found</translation>
    </message>
    <message>
        <source>%1 年の祝日は %2 にありません</source>
        <translation>%2 lists no holidays for %1</translation>
    </message>
    <message>
        <source>権限がありません</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>操作が許可されていません</source>
        <translation>Operation not permitted</translation>
    </message>
    <message>
        <source>読み取り専用のドライブです</source>
        <translation>The drive is read-only</translation>
    </message>
    <message>
        <source>ディスクの空きが足りません</source>
        <translation>No space left on the disk</translation>
    </message>
    <message>
        <source>ディスクの割り当てを超えました</source>
        <translation>Disk quota exceeded</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます</source>
        <translation>The file is too large</translation>
    </message>
    <message>
        <source>ファイルまたはフォルダーがありません</source>
        <translation>No such file or folder</translation>
    </message>
    <message>
        <source>途中にフォルダーではないものがあります</source>
        <translation>A part of the path is not a folder</translation>
    </message>
    <message>
        <source>フォルダーです</source>
        <translation>It is a folder</translation>
    </message>
    <message>
        <source>同じ名前のものがすでにあります</source>
        <translation>Something of that name already exists</translation>
    </message>
    <message>
        <source>フォルダーが空ではありません</source>
        <translation>The folder is not empty</translation>
    </message>
    <message>
        <source>シンボリックリンクが多すぎます</source>
        <translation>Too many symbolic links</translation>
    </message>
    <message>
        <source>名前が長すぎます</source>
        <translation>The name is too long</translation>
    </message>
    <message>
        <source>名前または値が正しくありません</source>
        <translation>Invalid name or value</translation>
    </message>
    <message>
        <source>別のドライブへは移せません</source>
        <translation>Cannot move to another drive</translation>
    </message>
    <message>
        <source>入出力エラーが起きました</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>使用中です</source>
        <translation>In use</translation>
    </message>
    <message>
        <source>装置がないか、応答しません</source>
        <translation>No such device, or it does not answer</translation>
    </message>
    <message>
        <source>開いているファイルが多すぎます</source>
        <translation>Too many open files</translation>
    </message>
    <message>
        <source>メモリーが足りません</source>
        <translation>Not enough memory</translation>
    </message>
    <message>
        <source>時間切れになりました</source>
        <translation>Timed out</translation>
    </message>
    <message>
        <source>中断されました</source>
        <translation>Interrupted</translation>
    </message>
    <message>
        <source>大きすぎて全体を読めません</source>
        <translation>Too large to read whole</translation>
    </message>
    <message>
        <source>読み取り専用のファイルです</source>
        <translation>The file is read-only</translation>
    </message>
    <message>
        <source>自動更新のファイルには UTF-8 の文字だけの名前しか書けません</source>
        <translation>The renewal&apos;s files can hold only names that are UTF-8 text</translation>
    </message>
    <message>
        <source>値が範囲外です：%1</source>
        <translation>Out of range: %1</translation>
    </message>
    <message>
        <source>画像が大きすぎます</source>
        <translation>The picture is too large</translation>
    </message>
    <message>
        <source>この年月のカレンダーは作れません（%1）</source>
        <translation>No calendar can be made for this month and year (%1)</translation>
    </message>
    <message>
        <source>%1 × %2 ピクセル</source>
        <translation>%1 × %2 pixels</translation>
    </message>
    <message>
        <source>iCalendar 形式（.ics）のファイルではありません</source>
        <translation>not an iCalendar (.ics) file</translation>
    </message>
    <message>
        <source>カレンダーファイルが 4 MiB を超えています</source>
        <translation>the calendar file is larger than 4 MiB</translation>
    </message>
    <message>
        <source>%1 行目を読み取れないため、その予定を省きました</source>
        <translation>line %1 cannot be read; its event is left out</translation>
    </message>
    <message>
        <source>%1 行目の予定には開始日がないため、省きました</source>
        <translation>the event on line %1 has no start date and is left out</translation>
    </message>
    <message>
        <source>%1 行目の繰り返しの規則から日付が決まらないため、その予定を省きました</source>
        <translation>the repeat rule on line %1 gives no dates; its event is left out</translation>
    </message>
    <message>
        <source>%1 行目のタイムゾーンがわからないため、この地域の時刻として読みました</source>
        <translation>line %1 names an unknown time zone; its times are read as local time</translation>
    </message>
    <message>
        <source>予定が多すぎるため、%1 行目以降の予定を省きました</source>
        <translation>too many events; those from line %1 on are left out</translation>
    </message>
    <message>
        <source>繰り返しが多すぎる予定があるため、この月に表示されない日があるかもしれません</source>
        <translation>an event repeats too often to follow; days of this month may be missing</translation>
    </message>
    <message>
        <source>祝日ファイル %1 を読めません：%2</source>
        <translation>The holiday file %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>%1 年の祝日は法律の規則から求めています</source>
        <translation>The holidays of %1 follow the rules of the law</translation>
    </message>
    <message>
        <source>%1 年の祝日は法律の規則から求めています。春分の日と秋分の日はまだ発表されていないため、予測です</source>
        <translation>The holidays of %1 follow the rules of the law; the equinox days are not announced yet and are predicted</translation>
    </message>
    <message>
        <source>%1 年の祝日を表示できません</source>
        <translation>No holidays shown for %1</translation>
    </message>
    <message>
        <source>。</source>
        <translation>. </translation>
    </message>
    <message>
        <source>カレンダーファイル %1：%2</source>
        <translation>Calendar file %1: %2</translation>
    </message>
</context>
<context>
    <name>lunetta::FontChooser</name>
    <message>
        <source>黒</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>栗色</source>
        <translation>Maroon</translation>
    </message>
    <message>
        <source>緑</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>オリーブ</source>
        <translation>Olive</translation>
    </message>
    <message>
        <source>紺</source>
        <translation>Navy</translation>
    </message>
    <message>
        <source>紫</source>
        <translation>Purple</translation>
    </message>
    <message>
        <source>青緑</source>
        <translation>Teal</translation>
    </message>
    <message>
        <source>灰色</source>
        <translation>Gray</translation>
    </message>
    <message>
        <source>銀色</source>
        <translation>Silver</translation>
    </message>
    <message>
        <source>赤</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>ライム</source>
        <translation>Lime</translation>
    </message>
    <message>
        <source>黄</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>青</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>赤紫</source>
        <translation>Fuchsia</translation>
    </message>
    <message>
        <source>水色</source>
        <translation>Aqua</translation>
    </message>
    <message>
        <source>白</source>
        <translation>White</translation>
    </message>
    <message>
        <source>フォント</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>カスタム</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>色(&amp;C):</source>
        <translation>&amp;Color:</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>lunetta::MainDialog</name>
    <message>
        <source>&#x3000;１月</source>
        <translation>Jan</translation>
    </message>
    <message>
        <source>&#x3000;２月</source>
        <translation>Feb</translation>
    </message>
    <message>
        <source>&#x3000;３月</source>
        <translation>Mar</translation>
    </message>
    <message>
        <source>&#x3000;４月</source>
        <translation>Apr</translation>
    </message>
    <message>
        <source>&#x3000;５月</source>
        <translation>May</translation>
    </message>
    <message>
        <source>&#x3000;６月</source>
        <translation>Jun</translation>
    </message>
    <message>
        <source>&#x3000;７月</source>
        <translation>Jul</translation>
    </message>
    <message>
        <source>&#x3000;８月</source>
        <translation>Aug</translation>
    </message>
    <message>
        <source>&#x3000;９月</source>
        <translation>Sep</translation>
    </message>
    <message>
        <source>１０月</source>
        <translation>Oct</translation>
    </message>
    <message>
        <source>１１月</source>
        <translation>Nov</translation>
    </message>
    <message>
        <source>１２月</source>
        <translation>Dec</translation>
    </message>
    <message>
        <source>1月</source>
        <translation>January</translation>
    </message>
    <message>
        <source>2月</source>
        <translation>February</translation>
    </message>
    <message>
        <source>3月</source>
        <translation>March</translation>
    </message>
    <message>
        <source>4月</source>
        <translation>April</translation>
    </message>
    <message>
        <source>5月</source>
        <translation>May</translation>
    </message>
    <message>
        <source>6月</source>
        <translation>June</translation>
    </message>
    <message>
        <source>7月</source>
        <translation>July</translation>
    </message>
    <message>
        <source>8月</source>
        <translation>August</translation>
    </message>
    <message>
        <source>9月</source>
        <translation>September</translation>
    </message>
    <message>
        <source>10月</source>
        <translation>October</translation>
    </message>
    <message>
        <source>11月</source>
        <translation>November</translation>
    </message>
    <message>
        <source>12月</source>
        <translation>December</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>プログラムを終了します。</source>
        <translation>Ends the program.</translation>
    </message>
    <message>
        <source>画像ファイルを開く</source>
        <translation>Open picture file</translation>
    </message>
    <message>
        <source>背景に使用する写真を選択してください</source>
        <translation>Choose the photo to use as the background</translation>
    </message>
    <message>
        <source>この月の写真を選ぶ</source>
        <translation>Photo for this month</translation>
    </message>
    <message>
        <source>選択中の月だけに使う写真を選びます。ほかの月は上の写真のままです</source>
        <translation>Chooses a photo for the selected month only. The other months keep the photo above</translation>
    </message>
    <message>
        <source>月の写真を外す</source>
        <translation>Use shared photo</translation>
    </message>
    <message>
        <source>選択中の月の写真をやめ、共通の写真に戻します</source>
        <translation>The selected month goes back to the shared photo</translation>
    </message>
    <message>
        <source>カレンダーの年を選びます</source>
        <translation>Chooses the calendar&apos;s year</translation>
    </message>
    <message>
        <source>カレンダーの月を選びます</source>
        <translation>Chooses the calendar&apos;s month</translation>
    </message>
    <message>
        <source>プリンタで印刷</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>プリンタで印刷を行います</source>
        <translation>Prints on a printer</translation>
    </message>
    <message>
        <source>ディスクトップ用画像保存</source>
        <translation>Save desktop picture</translation>
    </message>
    <message>
        <source>ディスクトップの背景に使える画像を保存します</source>
        <translation>Saves a picture you can use as the desktop background</translation>
    </message>
    <message>
        <source>壁紙に設定</source>
        <translation>Set as wallpaper</translation>
    </message>
    <message>
        <source>表示中のカレンダー画像をデスクトップの壁紙に設定します</source>
        <translation>Makes the calendar picture shown the desktop wallpaper</translation>
    </message>
    <message>
        <source>毎月自動で更新する</source>
        <translation>Renew monthly</translation>
    </message>
    <message>
        <source>毎月1日に、その月のカレンダーで壁紙を自動的に更新します</source>
        <translation>On the 1st of every month, renews the wallpaper with that month&apos;s calendar</translation>
    </message>
    <message>
        <source>1年分を保存</source>
        <translation>Save the year</translation>
    </message>
    <message>
        <source>選択中の年の12か月分の画像を、選んだフォルダーに保存します</source>
        <translation>Saves the twelve months of the selected year as pictures in a folder you choose</translation>
    </message>
    <message>
        <source>1年分を印刷</source>
        <translation>Print the year</translation>
    </message>
    <message>
        <source>選択中の年の12か月を、1か月1ページで印刷します（PDFにも出力できます）</source>
        <translation>Prints the twelve months of the selected year, one page per month (a PDF file too)</translation>
    </message>
    <message>
        <source>選択年</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>選択月</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>カレンダー座標</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>②&#x3000;カレンダー設定</source>
        <translation>② Calendar</translation>
    </message>
    <message>
        <source>③&#x3000;仕上げ</source>
        <translation>③ Finish</translation>
    </message>
    <message>
        <source>①&#x3000;ファイル選択</source>
        <translation>① Photo</translation>
    </message>
    <message>
        <source>画像ファイル (%1);;すべてのファイル (*)</source>
        <translation>Pictures (%1);;All files (*)</translation>
    </message>
    <message>
        <source>%1 年</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>前回の写真を開けないため、写真なしで表示しています（%1）：%2</source>
        <translation>The last photo cannot be opened (%1), so the calendar shows without it: %2</translation>
    </message>
    <message>
        <source>カレンダー画像を一時フォルダーに書き込めませんでした。

%1</source>
        <translation>The calendar picture could not be written to the temporary folder.

%1</translation>
    </message>
    <message>
        <source>&#x3000;</source>
        <comment>between two notes</comment>
        <translation>  </translation>
    </message>
    <message>
        <source>共通の写真を変えました。%1は月の写真のままです。</source>
        <translation>The shared photo changed; %1 keeps its own photo.</translation>
    </message>
    <message>
        <source>%1だけの写真にしました：%2</source>
        <translation>Photo for %1 only: %2</translation>
    </message>
    <message>
        <source>%1は共通の写真に戻しました。</source>
        <translation>%1 shows the shared photo again.</translation>
    </message>
    <message>
        <source>保存しました：%1</source>
        <translation>Saved: %1</translation>
    </message>
    <message>
        <source>（写真を使えず写真なしの月：%1）</source>
        <translation> (without their photo, which could not be used: %1)</translation>
    </message>
    <message>
        <source>、</source>
        <comment>between month names</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>%1 年の12か月分を保存しました：%2%3</source>
        <translation>Saved the twelve months of %1: %2%3</translation>
    </message>
    <message>
        <source>保存を中止しました。保存済みの %1 枚はそのまま残っています：%2</source>
        <translation>Saving stopped. The pictures already saved (%1) are kept: %2</translation>
    </message>
    <message>
        <source>%1 年の12か月分を印刷しました</source>
        <translation>Printed the twelve months of %1</translation>
    </message>
    <message>
        <source>%1 年の12か月分をPDFに出力しました：%2</source>
        <translation>Wrote the twelve months of %1 to a PDF file: %2</translation>
    </message>
    <message>
        <source>1年分の印刷を中止しました。</source>
        <translation>Printing the year stopped.</translation>
    </message>
    <message>
        <source>このデスクトップの壁紙を設定できませんでした。

%1</source>
        <translation>The wallpaper of this desktop could not be set.

%1</translation>
    </message>
    <message>
        <source>%1 の壁紙を設定できませんでした。

%2</source>
        <translation>The %1 wallpaper could not be set.

%2</translation>
    </message>
    <message>
        <source>このデスクトップの壁紙に設定しました：%1</source>
        <translation>Set as the wallpaper of this desktop: %1</translation>
    </message>
    <message>
        <source>%1 の壁紙に設定しました：%2</source>
        <translation>Set as the %1 wallpaper: %2</translation>
    </message>
    <message>
        <source>設定を保存できませんでした。
%1</source>
        <translation>The settings could not be saved.
%1</translation>
    </message>
    <message>
        <source>毎月1日に壁紙を自動で更新します。</source>
        <translation>The wallpaper will be renewed on the 1st of every month.</translation>
    </message>
    <message>
        <source>壁紙の自動更新を止めました。</source>
        <translation>The wallpaper is no longer renewed.</translation>
    </message>
    <message>
        <source>Lunetta のﾊﾞｰｼﾞｮﾝ情報(&amp;A)...</source>
        <translation>&amp;About Lunetta...</translation>
    </message>
    <message>
        <source>%1（写真は元のままです）</source>
        <translation>%1 (the photo stays as it was)</translation>
    </message>
    <message>
        <source>毎日更新する</source>
        <translation>Renew daily</translation>
    </message>
    <message>
        <source>毎日0時過ぎと、起動やスリープ復帰のときに壁紙を更新します</source>
        <translation>Renews the wallpaper just after midnight every day, and at start-up or on waking</translation>
    </message>
    <message>
        <source>今日に印を付ける</source>
        <translation>Mark today</translation>
    </message>
    <message>
        <source>今日の日付を塗りつぶして目立たせます</source>
        <translation>Fills today&apos;s date so that it stands out</translation>
    </message>
    <message>
        <source>過ぎた日を薄く</source>
        <translation>Fade past days</translation>
    </message>
    <message>
        <source>今月の過ぎた日付を薄い色で表示します</source>
        <translation>Shows this month&apos;s past days in a paler colour</translation>
    </message>
    <message>
        <source>各画面にカレンダー</source>
        <translation>On every screen</translation>
    </message>
    <message>
        <source>複数の画面の壁紙のすべてにカレンダーを入れます（普通はメイン画面だけ）</source>
        <translation>Puts the calendar on the wallpaper of every screen (normally on the main screen only)</translation>
    </message>
    <message>
        <source>壁紙の自動更新を設定できませんでした。

%1</source>
        <translation>The wallpaper renewal could not be set up.

%1</translation>
    </message>
    <message>
        <source>壁紙の自動更新を解除できませんでした。

%1</source>
        <translation>The wallpaper renewal could not be removed.

%1</translation>
    </message>
    <message>
        <source>毎日、壁紙を自動で更新します。</source>
        <translation>The wallpaper will be renewed every day.</translation>
    </message>
    <message>
        <source>ほかの年</source>
        <translation>Other year</translation>
    </message>
    <message>
        <source>カレンダーの年（%1～%2）</source>
        <translation>Calendar year (%1–%2)</translation>
    </message>
    <message>
        <source>ほかの年…</source>
        <translation>Other year…</translation>
    </message>
    <message>
        <source>壁掛けカレンダーを作る</source>
        <translation>Make a Wall Calendar</translation>
    </message>
    <message>
        <source>写真と大きな日付欄の、印刷用の壁掛けカレンダーを作ります（PDFにも出力できます）</source>
        <translation>Makes a wall calendar for print, the photo above a large grid of days (also as a PDF)</translation>
    </message>
    <message>
        <source>画像・配置・フォント</source>
        <translation>Picture, Layout and Font</translation>
    </message>
    <message>
        <source>画像の大きさと写真の合わせ方、カレンダーの大きさと配置、フォント・色・透過度を設定します</source>
        <translation>Sets the picture&apos;s size and how the photo fills it, the calendar&apos;s size and place, and its font, colors and opacity</translation>
    </message>
</context>
<context>
    <name>lunetta::PrintPicture</name>
    <message>
        <source>カレンダー</source>
        <translation>Calendar</translation>
    </message>
    <message>
        <source>用紙全体に引き伸ばす</source>
        <translation>Stretch over the whole page</translation>
    </message>
    <message>
        <source>写真の縦横比を変えて、印刷できる範囲全体に引き伸ばします</source>
        <translation>Stretches the picture over the whole printable area, changing its shape</translation>
    </message>
    <message>
        <source>印刷エラー</source>
        <translation>Print Error</translation>
    </message>
    <message>
        <source>印刷できませんでした。

%1</source>
        <translation>The picture could not be printed.

%1</translation>
    </message>
</context>
<context>
    <name>lunetta::SettingsDialog</name>
    <message>
        <source>印刷のベース画像の大きさを選択します。</source>
        <translation>Chooses the size of the picture to print and save.</translation>
    </message>
    <message>
        <source>写真を画像の大きさに合わせる方法を選択します。</source>
        <translation>Chooses how the photo fills the picture.</translation>
    </message>
    <message>
        <source>週の始まりを日曜日にするか月曜日にするかを選択します。</source>
        <translation>Chooses whether the weeks start on Sunday or on Monday.</translation>
    </message>
    <message>
        <source>カレンダー設定を終了します。</source>
        <translation>Closes the calendar settings.</translation>
    </message>
    <message>
        <source>画像の幅（ピクセル）</source>
        <translation>Picture width (pixels)</translation>
    </message>
    <message>
        <source>画像の高さ（ピクセル）</source>
        <translation>Picture height (pixels)</translation>
    </message>
    <message>
        <source>カレンダーの位置（Ｘ座標）を設定します</source>
        <translation>Sets the calendar&apos;s position (X coordinate)</translation>
    </message>
    <message>
        <source>カレンダーの位置（Ｙ座標）を設定します</source>
        <translation>Sets the calendar&apos;s position (Y coordinate)</translation>
    </message>
    <message>
        <source>フォント</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>カレンダーのフォントを設定します</source>
        <translation>Sets the calendar&apos;s font</translation>
    </message>
    <message>
        <source>背景色</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>カレンダーの背景色を設定します</source>
        <translation>Sets the calendar&apos;s background color</translation>
    </message>
    <message>
        <source>透過度</source>
        <translation>Opacity</translation>
    </message>
    <message>
        <source>カレンダーの透過度を設定します</source>
        <translation>Sets the calendar&apos;s opacity</translation>
    </message>
    <message>
        <source>日曜始まり</source>
        <translation>Sunday first</translation>
    </message>
    <message>
        <source>月曜始まり</source>
        <translation>Monday first</translation>
    </message>
    <message>
        <source>年月・曜日を日本語で表示</source>
        <translation>Japanese title and weekdays</translation>
    </message>
    <message>
        <source>タイトルと曜日を「2026年12月」「日 月 火 …」のように日本語で表示します。オフのときは「2026 / December」「Sun Mon Tue …」です。</source>
        <translation>Shows the title and the weekdays in Japanese, as in “2026年12月” and “日 月 火 …”. Off, they read “2026 / December” and “Sun Mon Tue …”.</translation>
    </message>
    <message>
        <source>週番号を表示</source>
        <translation>Show week numbers</translation>
    </message>
    <message>
        <source>各週の左端に、その週の番号（ISO 8601）を表示します。</source>
        <translation>Shows the ISO 8601 week number to the left of each week.</translation>
    </message>
    <message>
        <source>文字は透過させない</source>
        <translation>Keep the text opaque</translation>
    </message>
    <message>
        <source>透過度を下げても文字は薄くせず、背景だけを透過させます。写真の上でも文字が読みやすくなります。</source>
        <translation>Lowering the opacity fades the background only, never the text, so the text stays readable on the photo.</translation>
    </message>
    <message>
        <source>画像サイズ</source>
        <translation>Picture size</translation>
    </message>
    <message>
        <source>写真の合わせ方</source>
        <translation>Photo fit</translation>
    </message>
    <message>
        <source>カレンダー設定</source>
        <translation>Calendar</translation>
    </message>
    <message>
        <source>表示オプション</source>
        <translation>Display options</translation>
    </message>
    <message>
        <source>画面サイズ</source>
        <translation>Screen size</translation>
    </message>
    <message>
        <source>指定サイズ</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>引き伸ばす</source>
        <translation>Stretch</translation>
    </message>
    <message>
        <source>切り抜いて全体に表示</source>
        <translation>Crop to fill</translation>
    </message>
    <message>
        <source>全体を収める</source>
        <translation>Show it whole</translation>
    </message>
    <message>
        <source>Ｘ座標</source>
        <translation>X</translation>
    </message>
    <message>
        <source>Ｙ座標</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>カレンダー位置（微調整）</source>
        <translation>Calendar position (fine-tuning)</translation>
    </message>
    <message>
        <source>数値エラー</source>
        <translation>Invalid Number</translation>
    </message>
    <message>
        <source>画面サイズ (%1 × %2)</source>
        <translation>Screen size (%1 × %2)</translation>
    </message>
    <message>
        <source>画像サイズは幅、高さとも %1～%2 の範囲で入力して下さい。</source>
        <translation>Please enter a width and a height from %1 to %2.</translation>
    </message>
    <message>
        <source>正の整数を入力してください。</source>
        <translation>Please enter a positive integer.</translation>
    </message>
    <message>
        <source>カレンダー位置が不適切です。Ｘ座標は 0～%1、Ｙ座標は 0～%2 の範囲で再入力して下さい。</source>
        <translation>The calendar position is out of range. Please enter an X from 0 to %1 and a Y from 0 to %2.</translation>
    </message>
    <message>
        <source>画像の大きさに合わせる</source>
        <translation>In proportion to the picture</translation>
    </message>
    <message>
        <source>カレンダーを画像の高さに対する割合で描き、選んだ位置に置きます。画像サイズを変えても同じ割合と位置のままです。</source>
        <translation>Draws the calendar as a share of the picture&apos;s height at the chosen place. It keeps its share and place when the picture size changes.</translation>
    </message>
    <message>
        <source>高さ</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>カレンダーの高さ（画像の高さの 20～45 %）</source>
        <translation>The calendar&apos;s height (20–45 % of the picture&apos;s height)</translation>
    </message>
    <message>
        <source>余白</source>
        <translation>Margin</translation>
    </message>
    <message>
        <source>画像の端からの余白（短い辺の 0～20 %）</source>
        <translation>The margin from the picture&apos;s edges (0–20 % of its shorter side)</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>Place</translation>
    </message>
    <message>
        <source>左上</source>
        <translation>Top left</translation>
    </message>
    <message>
        <source>上</source>
        <translation>Top</translation>
    </message>
    <message>
        <source>右上</source>
        <translation>Top right</translation>
    </message>
    <message>
        <source>左</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>中央</source>
        <translation>Center</translation>
    </message>
    <message>
        <source>右</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>左下</source>
        <translation>Bottom left</translation>
    </message>
    <message>
        <source>下</source>
        <translation>Bottom</translation>
    </message>
    <message>
        <source>右下</source>
        <translation>Bottom right</translation>
    </message>
    <message>
        <source>おまかせ配置</source>
        <translation>Automatic placement</translation>
    </message>
    <message>
        <source>写真のいちばん落ち着いた所にカレンダーを置きます。上下のパネルの位置は避けます。ドラッグで置くと、その写真では止まります。</source>
        <translation>Puts the calendar where the photo is calmest, clear of the panels at the top and bottom. Dragging the calendar turns it off for that photo.</translation>
    </message>
    <message>
        <source>カレンダーの大きさと配置</source>
        <translation>Calendar size and place</translation>
    </message>
    <message>
        <source>文字を読みやすく</source>
        <translation>Always readable text</translation>
    </message>
    <message>
        <source>写真に合わせて文字色・背景色・透過度を選び、すべての文字を 4.5:1 以上のコントラストで表示します。</source>
        <translation>Chooses the text color, background color and opacity for the photo so that every text has a contrast of at least 4.5:1.</translation>
    </message>
    <message>
        <source>土曜の色</source>
        <translation>Saturday color</translation>
    </message>
    <message>
        <source>土曜日の文字色を設定します</source>
        <translation>Sets the text color of Saturdays</translation>
    </message>
    <message>
        <source>日曜・祝日の色</source>
        <translation>Sunday/holiday color</translation>
    </message>
    <message>
        <source>日曜日と祝日の文字色を設定します</source>
        <translation>Sets the text color of Sundays and holidays</translation>
    </message>
    <message>
        <source>曜日の色</source>
        <translation>Weekend colors</translation>
    </message>
    <message>
        <source>画像・配置・フォントの設定</source>
        <translation>Picture, Layout and Font</translation>
    </message>
    <message>
        <source>カレンダーの高さは %1～%2 %、余白は 0～%3 % の範囲で入力して下さい。</source>
        <translation>Enter a calendar height of %1 to %2 % and a margin of 0 to %3 %.</translation>
    </message>
</context>
<context>
    <name>lunetta::WallDialog</name>
    <message>
        <source>塗り足し（3 mm）</source>
        <translation>Bleed (3 mm)</translation>
    </message>
    <message>
        <source>トンボを付ける</source>
        <translation>Trim marks</translation>
    </message>
    <message>
        <source>表紙を付ける</source>
        <translation>Cover</translation>
    </message>
    <message>
        <source>年間予定表を付ける</source>
        <translation>Year planner</translation>
    </message>
    <message>
        <source>壁掛けカレンダーを作る</source>
        <translation>Make a Wall Calendar</translation>
    </message>
    <message>
        <source>縦</source>
        <translation>Portrait</translation>
    </message>
    <message>
        <source>横</source>
        <translation>Landscape</translation>
    </message>
    <message>
        <source>上</source>
        <comment>the photo&apos;s place</comment>
        <translation>Top</translation>
    </message>
    <message>
        <source>左</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>右</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>印刷所が求める 3 mm の塗り足しを写真に付けます</source>
        <translation>Extends the photos 3 mm past the trim, as print shops ask</translation>
    </message>
    <message>
        <source>裁断の位置を示す印をページの外側に付けます</source>
        <translation>Marks where to cut outside the page</translation>
    </message>
    <message>
        <source>年と写真の表紙を最初のページにします</source>
        <translation>Opens with a cover page of the year and a photo</translation>
    </message>
    <message>
        <source>1年の日付を月ごとの列にした予定表を最後のページにします</source>
        <translation>Ends with a page of the year&apos;s days, a column per month</translation>
    </message>
    <message>
        <source>ページ</source>
        <translation>Page</translation>
    </message>
    <message>
        <source>用紙</source>
        <translation>Paper</translation>
    </message>
    <message>
        <source>向き</source>
        <translation>Orientation</translation>
    </message>
    <message>
        <source>写真の位置</source>
        <translation>Photo</translation>
    </message>
    <message>
        <source>写真をドラッグすると、写る部分を動かせます。</source>
        <translation>Drag the photo to choose the part that shows.</translation>
    </message>
    <message>
        <source>印刷...</source>
        <translation>Print...</translation>
    </message>
    <message>
        <source>PDFに保存...</source>
        <translation>Save as PDF...</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>プリンタで印刷します（PDFファイルにも出力できます）</source>
        <translation>Prints on a printer (or to a PDF file)</translation>
    </message>
    <message>
        <source>塗り足しとトンボの情報を持つ、印刷所向けのPDFを保存します</source>
        <translation>Saves a PDF for a print shop, with its bleed and trim boxes</translation>
    </message>
    <message>
        <source>表紙</source>
        <translation>Cover</translation>
    </message>
    <message>
        <source>年間予定表</source>
        <translation>Year planner</translation>
    </message>
    <message>
        <source>このページの写真は印刷で %1 dpi です。150 dpi 未満では画素が見えます。</source>
        <translation>This page&apos;s photo prints at %1 dpi; below 150 dpi its pixels show.</translation>
    </message>
    <message>
        <source>このページの写真を読めません：%1</source>
        <translation>This page&apos;s photo cannot be read: %1</translation>
    </message>
    <message>
        <source>中止しました。</source>
        <translation>Cancelled.</translation>
    </message>
    <message>
        <source>解像度が足りない写真（150 dpi 未満、印刷で画素が見えます）：%1</source>
        <translation>Photos of too low a resolution (below 150 dpi, their pixels show in print): %1</translation>
    </message>
    <message>
        <source>、</source>
        <comment>between month names</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>写真を使えず写真なしのページ：%1</source>
        <translation>Pages without their photo, which could not be used: %1</translation>
    </message>
    <message>
        <source>印刷しました。</source>
        <translation>Printed.</translation>
    </message>
    <message>
        <source>PDFに出力しました：%1</source>
        <translation>Written to PDF: %1</translation>
    </message>
    <message>
        <source>PDFに保存しました：%1</source>
        <translation>Saved as PDF: %1</translation>
    </message>
</context>
<context>
    <name>lunetta::WallOutput</name>
    <message>
        <source>壁掛けカレンダーを作っています…</source>
        <translation>Making the wall calendar…</translation>
    </message>
    <message>
        <source>壁掛けカレンダーを作れませんでした。

%1</source>
        <translation>The wall calendar could not be made.

%1</translation>
    </message>
    <message>
        <source>壁掛けカレンダーを印刷しています…</source>
        <translation>Printing the wall calendar…</translation>
    </message>
    <message>
        <source>印刷できませんでした。

%1</source>
        <translation>Nothing was printed.

%1</translation>
    </message>
</context>
<context>
    <name>lunetta::YearOutput</name>
    <message>
        <source>%1 年のカレンダーを保存しています…</source>
        <translation>Saving the calendar of %1…</translation>
    </message>
    <message>
        <source>1年分の画像を保存できませんでした。

%1</source>
        <translation>The year&apos;s pictures could not be saved.

%1</translation>
    </message>
    <message>
        <source>%1 年のカレンダーを印刷しています…</source>
        <translation>Printing the calendar of %1…</translation>
    </message>
    <message>
        <source>印刷できませんでした。

%1</source>
        <translation>The year could not be printed.

%1</translation>
    </message>
</context>
<context>
    <name>lunetta::YearProgress</name>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>中止しています…</source>
        <translation>Stopping…</translation>
    </message>
</context>
</TS>
